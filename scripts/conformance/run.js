#!/usr/bin/env node
// The real-player check: saves every corpus movie that has linked assets and
// more than one frame for target frames 2 to 5 with each plan, plays the
// originals and the copies in Ruffle and compares what they trace.
//
//   node scripts/conformance/run.js [--corpus DIR] [--cli PATH] [--out DIR]
//                                   [--seconds S] [--jobs J] [--only TEXT]
//
// Judging. Each original plays twice. A movie whose plays trace nothing
// before the last second of the play time is complete: it is judged when its
// two plays trace the same non-empty lines, and a copy is identical when it
// traces exactly those lines, in that order; lines the copy traces beyond
// them count as a difference (the original's trace ended well within the
// play time, so anything more is behaviour the original does not have). A
// movie that still traces in the last second (a loop, an interval) is judged
// on the lines its plays trace before that second, when both agree on them;
// a copy is identical when its trace begins with those lines, and what it
// traces after them is not compared (where a play is cut is a matter of
// timing). A copy that differs is played once more and counts as different
// only when that play differs too, so a single slow play cannot condemn it.
'use strict';

const crypto = require('crypto');
const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');
const {
  REPO, WORK_DIR, DEFAULT_PLAY_SECONDS, Player, mapLimit, firstDifference, usageText,
} = require('./lib');

// The plans a save can follow: the name in the table, the options given to
// `framestow-cli save`, and the option `save --help` must list for the plan
// to run (a plan the build does not offer yet is left out).
const PLANS = [
  { name: 'default', args: [], needs: null },
  { name: 'safe', args: ['--safe'], needs: '--safe' },
];

// The last second of a play, in which a trace may be cut by the end of the
// play (a quarter of plays shorter than four seconds).
function settleMargin(seconds) {
  return Math.min(1, seconds / 4);
}

const FIRST_FRAME = 2;
const LAST_FRAME = 5;

function parseArgs(argv) {
  const o = {
    corpus: process.env.FRAMESTOW_CORPUS || path.resolve(REPO, '..', 'shared', 'corpus'),
    cli: process.env.FRAMESTOW_CLI || path.join(REPO, 'build', 'release', 'src', 'cli', 'framestow-cli'),
    out: path.join(WORK_DIR, 'run'),
    seconds: DEFAULT_PLAY_SECONDS,
    jobs: Number(process.env.FRAMESTOW_PLAY_JOBS || 2),
    only: null,
  };
  for (let i = 2; i < argv.length; i++) {
    const a = argv[i];
    const value = () => {
      if (i + 1 >= argv.length) throw new Error(`${a} needs a value`);
      return argv[++i];
    };
    if (a === '--corpus') o.corpus = path.resolve(value());
    else if (a === '--cli') o.cli = path.resolve(value());
    else if (a === '--out') o.out = path.resolve(value());
    else if (a === '--seconds') o.seconds = Number(value());
    else if (a === '--jobs') o.jobs = Number(value());
    else if (a === '--only') o.only = value();
    else if (a === '-h' || a === '--help') {
      console.log(usageText(__filename));
      process.exit(0);
    } else throw new Error(`unknown argument: ${a}`);
  }
  if (!(o.seconds > 0)) throw new Error('the play time must be a positive number of seconds');
  if (!(o.jobs >= 1)) throw new Error('--jobs must be at least 1');
  return o;
}

function runCli(cli, args) {
  const r = spawnSync(cli, args, { encoding: 'utf8', maxBuffer: 256 * 1024 * 1024 });
  if (r.error) throw new Error(`cannot run ${cli}: ${r.error.message}`);
  return r;
}

function findMovies(dir) {
  const found = [];
  const walk = (d) => {
    for (const e of fs.readdirSync(d, { withFileTypes: true })) {
      const p = path.join(d, e.name);
      if (e.isDirectory()) walk(p);
      else if (e.isFile() && e.name.toLowerCase().endsWith('.swf')) found.push(p);
    }
  };
  walk(dir);
  return found.sort();
}

// The movies to check: linked assets and more than one frame.
function selectMovies(o) {
  let files = findMovies(o.corpus);
  if (o.only) files = files.filter((f) => path.relative(o.corpus, f).includes(o.only));
  const movies = [];
  for (let k = 0; k < files.length; k += 200) {
    const r = runCli(o.cli, ['analyze', '--json', ...files.slice(k, k + 200)]);
    let docs;
    try {
      docs = JSON.parse(r.stdout);
    } catch (e) {
      throw new Error(`analyze --json printed no JSON (status ${r.status}): ${r.stderr}`);
    }
    for (const d of docs) {
      if (d.status === 'ok' && d.assetCount > 0 && d.frameCount > 1) {
        movies.push({
          file: d.file,
          rel: path.relative(o.corpus, d.file),
          frameCount: d.frameCount,
          assetCount: d.assetCount,
          attachFrame: d.attachFrame,
        });
      }
    }
  }
  return movies;
}

function availablePlans(cli) {
  const help = runCli(cli, ['save', '--help']).stdout;
  return PLANS.filter((p) => p.needs === null || new RegExp(`(^|[\\s,])${p.needs}\\b`).test(help));
}

// The verdict kind: the verdict's second line, its frame number read as n.
function verdictKind(line) {
  return line.replace(/frame \d+\./, 'frame n.');
}

// What the two plays of an original say: { notJudged (why not, or ''),
// lines (the lines a copy must trace), complete, settled (the second of the
// last line traced) }.
function judgeOriginal(a, b, seconds) {
  const last = (p) => (p.times.length ? p.times[p.times.length - 1] : 0);
  const out = { notJudged: '', lines: [], complete: true, settled: Math.max(last(a), last(b)) };
  if (a.error || b.error) {
    out.notJudged = `the original did not play: ${a.error || b.error}`;
    return out;
  }
  const cut = seconds - settleMargin(seconds);
  const before = (p) => p.times.filter((t) => t <= cut).length;
  out.complete = before(a) === a.lines.length && before(b) === b.lines.length;
  const k = out.complete ? a.lines.length : Math.max(before(a), before(b));
  const d = out.complete ? firstDifference(a.lines, b.lines)
    : firstDifference(a.lines.slice(0, k), b.lines.slice(0, k));
  if (d) out.notJudged = `the original traced differently in two plays (${describeDifference(d, 'play 1', 'play 2')})`;
  else if (k === 0) out.notJudged = out.complete ? 'the original traces nothing' : 'the original traces nothing before the last second';
  else out.lines = a.lines.slice(0, k);
  return out;
}

// Where a copy's play parts from its judged original, or null.
function compareCopy(m, play) {
  if (play.error) return { index: 0, expected: m.lines[0], actual: `(did not play: ${play.error})` };
  return firstDifference(m.lines, m.complete ? play.lines : play.lines.slice(0, m.lines.length));
}

function slug(rel) {
  return rel.replace(/\.swf$/i, '').split(path.sep).join('__');
}

function sha256(file) {
  return crypto.createHash('sha256').update(fs.readFileSync(file)).digest('hex');
}

function sameLines(a, b) {
  return a.length === b.length && a.every((l, i) => l === b[i]);
}

function describeDifference(d, first = 'original', second = 'copy') {
  if (!d) return '';
  const show = (l) => (l === null ? '(nothing)' : JSON.stringify(l));
  return `line ${d.index + 1}: ${first} ${show(d.expected)}, ${second} ${show(d.actual)}`;
}

function writeTrace(file, play) {
  fs.mkdirSync(path.dirname(file), { recursive: true });
  const head = play.error ? [`# error: ${play.error}`] : [];
  const body = play.lines.map((l, i) => `${play.times[i].toFixed(3)}\t${l}`);
  fs.writeFileSync(file, [...head, ...body].join('\n') + (head.length + body.length ? '\n' : ''));
}

function csvField(v) {
  const s = v === null || v === undefined ? '' : String(v);
  return /[",\n]/.test(s) ? `"${s.replace(/"/g, '""')}"` : s;
}

function pad(s, n, right = false) {
  s = String(s);
  return right ? s.padStart(n) : s.padEnd(n);
}

function renderTable(saves, plans) {
  const rows = [];
  const count = (list) => ({
    movies: new Set(list.map((s) => s.movie)).size,
    saves: list.length,
    identical: list.filter((s) => s.judged && s.identical).length,
    different: list.filter((s) => s.judged && !s.identical).length,
    notJudged: list.filter((s) => !s.judged).length,
  });
  for (const plan of plans) {
    const mine = saves.filter((s) => s.plan === plan.name);
    const kinds = [...new Set(mine.map((s) => s.verdictKind))].sort();
    for (const kind of kinds) rows.push({ plan: plan.name, kind, ...count(mine.filter((s) => s.verdictKind === kind)) });
    rows.push({ plan: plan.name, kind: 'all', ...count(mine) });
  }
  const kindWidth = Math.max(7, ...rows.map((r) => r.kind.length));
  const planWidth = Math.max(4, ...rows.map((r) => r.plan.length));
  const header = `| ${pad('plan', planWidth)} | ${pad('verdict', kindWidth)} | movies | saves | identical | different | not judged |`;
  const rule = `|${'-'.repeat(planWidth + 2)}|${'-'.repeat(kindWidth + 2)}|-------:|------:|----------:|----------:|-----------:|`;
  const lines = [header, rule];
  for (const r of rows) {
    lines.push(`| ${pad(r.plan, planWidth)} | ${pad(r.kind, kindWidth)} | ${pad(r.movies, 6, true)} | ` +
      `${pad(r.saves, 5, true)} | ${pad(r.identical, 9, true)} | ${pad(r.different, 9, true)} | ${pad(r.notJudged, 10, true)} |`);
  }
  return lines.join('\n');
}

async function main() {
  const o = parseArgs(process.argv);
  const began = Date.now();
  if (!fs.existsSync(o.cli)) throw new Error(`${o.cli} does not exist: build framestow-cli first`);
  if (!fs.existsSync(o.corpus)) throw new Error(`no corpus at ${o.corpus}`);

  const plans = availablePlans(o.cli);
  const skipped = PLANS.filter((p) => !plans.includes(p)).map((p) => `${p.name} (no ${p.needs})`);
  const movies = selectMovies(o);
  console.log(`${movies.length} movies with linked assets and more than one frame; ` +
    `plans: ${plans.map((p) => p.name).join(', ')}${skipped.length ? `; not offered: ${skipped.join(', ')}` : ''}; ` +
    `${o.seconds} s a play, ${o.jobs} at once`);

  fs.rmSync(o.out, { recursive: true, force: true });
  const savesDir = path.join(o.out, 'saves');
  const tracesDir = path.join(o.out, 'traces');
  fs.mkdirSync(savesDir, { recursive: true });

  // Save every copy first: saving is quick, and copies that come out byte for
  // byte alike (the same plan result, or the original itself) play once.
  const saves = [];
  for (const m of movies) {
    m.slug = slug(m.rel);
    m.hash = sha256(m.file);
    for (let frame = FIRST_FRAME; frame <= Math.min(LAST_FRAME, m.frameCount); frame++) {
      for (const plan of plans) {
        const copy = path.join(savesDir, m.slug, `frame${frame}-${plan.name}.swf`);
        fs.mkdirSync(path.dirname(copy), { recursive: true });
        const r = runCli(o.cli, ['save', m.file, '--frame', String(frame), ...plan.args,
          '--output', copy, '--json']);
        let report = null;
        try {
          report = JSON.parse(r.stdout)[0];
        } catch {
          report = null;
        }
        const s = {
          movie: m.rel, frame, plan: plan.name, copy, exitStatus: r.status,
          verdict: report ? report.verdict : [], movableBytes: report ? report.movableBytes : null,
          saved: r.status === 0 && fs.existsSync(copy),
        };
        s.verdictKind = s.saved
          ? verdictKind((s.verdict[1] || '').trim() || '(no verdict)')
          : `(save failed: exit ${r.status})`;
        s.message = s.saved ? '' : ((report && report.message) || r.stderr.trim());
        s.hash = s.saved ? sha256(copy) : null;
        saves.push(s);
      }
    }
  }
  console.log(`${saves.length} saves written (${saves.filter((s) => !s.saved).length} failed) ` +
    `in ${((Date.now() - began) / 1000).toFixed(1)} s`);

  const player = await Player.start();
  let stopping = null;
  const stop = () => {
    if (!stopping) stopping = player.stop();
    return stopping;
  };
  process.once('SIGINT', () => { stop().finally(() => process.exit(130)); });
  process.once('SIGTERM', () => { stop().finally(() => process.exit(143)); });
  let plays = 0;
  const play = async (file, servedAs) => {
    const r = await player.play(file, o.seconds, servedAs);
    plays++;
    return r;
  };

  try {
    // The originals, twice each.
    const playsBegan = Date.now();
    const originalPlays = await mapLimit(movies.flatMap((m) => [[m, 1], [m, 2]]), o.jobs,
      async ([m, k]) => {
        const r = await play(m.file, null);
        writeTrace(path.join(tracesDir, m.slug, `original-${k}.txt`), r);
        return r;
      });
    movies.forEach((m, i) => {
      Object.assign(m, judgeOriginal(originalPlays[2 * i], originalPlays[2 * i + 1], o.seconds));
    });
    console.log(`originals played in ${((Date.now() - playsBegan) / 1000).toFixed(1)} s: ` +
      `${movies.filter((m) => !m.notJudged).length} of ${movies.length} judged`);

    // The copies of the judged movies, each distinct copy once (twice when
    // it differs from its original).
    const byMovie = new Map(movies.map((m) => [m.rel, m]));
    const distinct = new Map();
    for (const s of saves) {
      const m = byMovie.get(s.movie);
      if (!s.saved || m.notJudged || s.hash === m.hash) continue;
      const key = `${s.movie}\0${s.hash}`;
      if (!distinct.has(key)) distinct.set(key, { m, s, saves: [] });
      distinct.get(key).saves.push(s);
    }
    const copiesBegan = Date.now();
    await mapLimit([...distinct.values()], o.jobs, async (c) => {
      const base = path.join(tracesDir, c.m.slug, path.basename(c.s.copy, '.swf'));
      let r = await play(c.s.copy, c.m.file);
      writeTrace(`${base}.txt`, r);
      c.trace = path.relative(o.out, `${base}.txt`);
      c.playCount = 1;
      let d = compareCopy(c.m, r);
      if (d) {
        const again = await play(c.s.copy, c.m.file);
        writeTrace(`${base}-again.txt`, again);
        c.playCount = 2;
        if (!compareCopy(c.m, again)) d = null;
      }
      c.difference = d;
      c.lines = r.lines;
    });
    console.log(`${distinct.size} distinct copies played in ${((Date.now() - copiesBegan) / 1000).toFixed(1)} s`);

    for (const s of saves) {
      const m = byMovie.get(s.movie);
      s.originalLines = m.lines.length;
      if (!s.saved) {
        s.judged = false;
        s.reason = `the save failed: ${s.message}`;
      } else if (m.notJudged) {
        s.judged = false;
        s.reason = m.notJudged;
      } else if (s.hash === m.hash) {
        s.judged = true;
        s.identical = true;
        s.reason = 'the copy is byte for byte the original';
      } else {
        const c = distinct.get(`${s.movie}\0${s.hash}`);
        s.judged = true;
        s.identical = !c.difference;
        s.firstDifference = describeDifference(c.difference);
        s.reason = [m.complete ? '' : `compared on the first ${m.lines.length} lines (the movie keeps tracing)`,
          c.playCount === 2 && s.identical ? 'identical on the second play' : ''].filter((x) => x).join('; ');
        s.plays = c.playCount;
        s.trace = c.trace;
      }
    }
  } finally {
    await stop();
  }

  // The per-save file, in JSON and CSV, and the table.
  const detail = saves.map((s) => ({
    movie: s.movie,
    frame: s.frame,
    plan: s.plan,
    verdict: s.verdict,
    verdictKind: s.verdictKind,
    movableBytes: s.movableBytes,
    judged: s.judged,
    identical: s.judged ? s.identical : null,
    firstDifference: s.firstDifference || '',
    note: s.reason || '',
    originalLines: s.originalLines,
    copy: path.relative(o.out, s.copy),
    // The trace of the copy's play (shared by copies with the same bytes).
    trace: s.trace || '',
  }));
  fs.writeFileSync(path.join(o.out, 'results.json'), JSON.stringify({
    playSeconds: o.seconds,
    plans: plans.map((p) => p.name),
    movies: movies.map((m) => ({
      movie: m.rel, frameCount: m.frameCount, assetCount: m.assetCount, attachFrame: m.attachFrame,
      judged: !m.notJudged, complete: m.complete, note: m.notJudged, comparedLines: m.lines.length,
      lastTraceSecond: m.settled,
    })),
    saves: detail,
  }, null, 2) + '\n');
  const columns = ['movie', 'frame', 'plan', 'verdictKind', 'movableBytes', 'judged', 'identical',
    'firstDifference', 'note', 'trace'];
  fs.writeFileSync(path.join(o.out, 'results.csv'),
    [columns.join(','), ...detail.map((d) => columns.map((c) => csvField(d[c])).join(','))].join('\n') + '\n');

  const table = renderTable(saves, plans);
  const different = saves.filter((s) => s.judged && !s.identical);
  const lines = [
    '',
    table,
    '',
    different.length ? 'Saves that play differently:' : 'No judged save plays differently.',
    ...different.map((s) => `  ${s.movie} frame ${s.frame} ${s.plan}: ${s.verdictKind} -- ${s.firstDifference}`),
    '',
    `${plays} plays of ${o.seconds} s in ${((Date.now() - began) / 1000).toFixed(0)} s. ` +
      `Details: ${path.relative(process.cwd(), path.join(o.out, 'results.csv'))} (and results.json), ` +
      `traces in ${path.relative(process.cwd(), tracesDir)}/`,
  ];
  fs.writeFileSync(path.join(o.out, 'table.md'), table + '\n');
  console.log(lines.join('\n'));
}

main().catch((e) => {
  console.error(`conformance: ${e.message}`);
  process.exit(2);
});
