#!/usr/bin/env node
// Plays one movie in Ruffle and prints what it traces, or plays an original
// and a copy and shows where their traces part.
//
//   node scripts/conformance/play.js MOVIE [SECONDS]
//   node scripts/conformance/play.js --pair ORIGINAL COPY [SECONDS]
//
// Options: --times puts the second of each line (counted from the start of
// the movie) in front of it; --verbose also prints the player's other
// console messages. The copy of a pair is played at the original's URL. The
// pair's exit status is 0 when both trace the same lines, 1 when they do not;
// 2 means wrong arguments or a movie that could not be played.
'use strict';

const path = require('path');
const fs = require('fs');
const { DEFAULT_PLAY_SECONDS, Player, mapLimit, usageText, } = require('./lib');

function usage(status) {
  const text = usageText(__filename);
  (status ? console.error : console.log)(text);
  process.exit(status);
}

function parseArgs(argv) {
  const o = { pair: false, times: false, verbose: false, files: [], seconds: DEFAULT_PLAY_SECONDS };
  const rest = [];
  for (const a of argv.slice(2)) {
    if (a === '--pair') o.pair = true;
    else if (a === '--times') o.times = true;
    else if (a === '--verbose') o.verbose = true;
    else if (a === '-h' || a === '--help') usage(0);
    else if (a.startsWith('--')) usage(2);
    else rest.push(a);
  }
  const wanted = o.pair ? 2 : 1;
  if (rest.length < wanted || rest.length > wanted + 1) usage(2);
  o.files = rest.slice(0, wanted).map((f) => path.resolve(f));
  if (rest.length > wanted) o.seconds = Number(rest[wanted]);
  if (!(o.seconds > 0)) usage(2);
  for (const f of o.files) {
    if (!fs.existsSync(f)) {
      console.error(`play: no such file: ${f}`);
      process.exit(2);
    }
  }
  return o;
}

function show(play, o, prefix = '') {
  const out = [];
  if (o.verbose) for (const m of play.other) out.push(`${prefix}# ${m}`);
  if (play.error) out.push(`${prefix}# did not play: ${play.error}`);
  play.lines.forEach((l, i) => out.push(`${prefix}${o.times ? `${play.times[i].toFixed(3)}\t` : ''}${l}`));
  return out;
}

// A line-by-line difference (longest common subsequence): ' ' both, '-'
// original only, '+' copy only.
function diff(a, b) {
  const n = a.length;
  const m = b.length;
  const lcs = Array.from({ length: n + 1 }, () => new Int32Array(m + 1));
  for (let i = n - 1; i >= 0; i--) {
    for (let j = m - 1; j >= 0; j--) {
      lcs[i][j] = a[i] === b[j] ? lcs[i + 1][j + 1] + 1 : Math.max(lcs[i + 1][j], lcs[i][j + 1]);
    }
  }
  const out = [];
  let i = 0;
  let j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && a[i] === b[j]) {
      out.push(`  ${a[i]}`);
      i++;
      j++;
    } else if (j < m && (i === n || lcs[i][j + 1] >= lcs[i + 1][j])) {
      out.push(`+ ${b[j++]}`);
    } else {
      out.push(`- ${a[i++]}`);
    }
  }
  return out;
}

async function main() {
  const o = parseArgs(process.argv);
  const player = await Player.start({ verbose: o.verbose });
  let status = 0;
  try {
    if (!o.pair) {
      const r = await player.play(o.files[0], o.seconds);
      for (const l of show(r, o)) console.log(l);
      if (r.error) status = 2;
    } else {
      const [orig, copy] = o.files;
      const [a, b] = await mapLimit([[orig, null], [copy, orig]], 2,
        ([file, servedAs]) => player.play(file, o.seconds, servedAs));
      console.log(`== original: ${orig} (${a.lines.length} lines)`);
      for (const l of show(a, o)) console.log(l);
      console.log(`== copy: ${copy} (${b.lines.length} lines)`);
      for (const l of show(b, o)) console.log(l);
      const same = !a.error && !b.error && a.lines.length === b.lines.length &&
        a.lines.every((l, i) => l === b.lines[i]);
      if (a.error || b.error) status = 2;
      else if (same) {
        console.log('== same trace');
      } else {
        console.log('== difference (- original only, + copy only)');
        for (const l of diff(a.lines, b.lines)) console.log(l);
        status = 1;
      }
      if (status === 2) console.log('== a movie did not play');
    }
  } finally {
    await player.stop();
  }
  process.exit(status);
}

main().catch((e) => {
  console.error(`play: ${e.message}`);
  process.exit(2);
});
