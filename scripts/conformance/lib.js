// Plays SWF movies in the web build of Ruffle, inside a headless Chromium,
// and collects the lines they trace.
//
// One browser serves every play; each play gets a browser context of its own
// (so no SharedObject or other storage leaks from one play to the next) and
// loads the movie from a localhost HTTP server. A movie is always served at
// the URL of the file it stands for: a saved copy is played at its
// original's URL, so `_url` and relative loads (imported assets, loadMovie)
// behave the same in both.
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');
const { createRequire } = require('module');

const REPO = path.resolve(__dirname, '..', '..');
const WORK_DIR = path.resolve(
  process.env.FRAMESTOW_CONFORMANCE_DIR || path.join(REPO, 'build', 'conformance'));
const CHROMIUM = process.env.FRAMESTOW_CHROMIUM || '/usr/bin/chromium';

// How long the player may take to start (fetch and compile its WebAssembly).
const START_TIMEOUT_MS = 60000;
// Seconds a movie plays, counted from the moment the player starts loading
// it. The corpus movies that stop tracing do so within 1.2 s.
const DEFAULT_PLAY_SECONDS = Number(process.env.FRAMESTOW_PLAY_SECONDS || 3);

function loadDependencies() {
  const req = createRequire(path.join(WORK_DIR, 'package.json'));
  try {
    const { chromium } = req('playwright-core');
    const ruffleDir = path.dirname(req.resolve('@ruffle-rs/ruffle/package.json'));
    return { chromium, ruffleDir };
  } catch (e) {
    throw new Error(`the player's packages are not installed in ${WORK_DIR} ` +
      `(run make conformance, or npm ci there with scripts/conformance/package.json): ${e.message}`);
  }
}

// The Ruffle configuration of every play: play at once, log trace() output,
// show nothing that waits for a click, and never leave the page.
const PLAYER_CONFIG = {
  autoplay: 'on',
  logLevel: 'info',
  unmuteOverlay: 'hidden',
  splashScreen: false,
  letterbox: 'on',
  warnOnUnsupportedContent: false,
  showSwfDownload: false,
  contextMenu: 'off',
  openUrlMode: 'deny',
  polyfills: false,
  preferredRenderer: 'canvas',
  quality: 'low',
};

const PLAYER_PAGE = `<!doctype html>
<html><head><meta charset="utf-8"><title>player</title>
<style>html,body{margin:0;background:#000}ruffle-player{width:550px;height:400px;display:block}</style>
<script>window.RufflePlayer = { config: ${JSON.stringify(PLAYER_CONFIG)} };</script>
<script src="/ruffle/ruffle.js"></script>
</head><body>
<script>
window.addEventListener('load', () => {
  const movie = new URLSearchParams(location.search).get('movie');
  const player = window.RufflePlayer.newest().createPlayer();
  document.body.appendChild(player);
  player.ruffle().load({ url: movie }).then(
    () => console.log('framestow:loaded'),
    (e) => console.log('framestow:load-failed ' + e));
});
</script>
</body></html>
`;

const MIME = {
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.map': 'application/json',
  '.html': 'text/html; charset=utf-8',
  '.swf': 'application/x-shockwave-flash',
};

function mimeOf(file) {
  return MIME[path.extname(file).toLowerCase()] || 'application/octet-stream';
}

// The localhost server: the player page, Ruffle's files, and the folders of
// the movies played (each folder that urlOf is asked about is served below
// /f<k>/).
function startServer(ruffleDir) {
  const folders = [];
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://localhost');
    let file = null;
    let body = null;
    let parts = [];
    try {
      parts = url.pathname.split('/').map(decodeURIComponent);
    } catch {
      parts = [];
    }
    if (url.pathname === '/player.html') {
      body = PLAYER_PAGE;
      file = 'player.html';
    } else if (parts[1] === 'ruffle' && parts.length === 3) {
      file = path.join(ruffleDir, path.basename(parts[2]));
    } else if (/^f\d+$/.test(parts[1] || '')) {
      const root = folders[Number(parts[1].slice(1))];
      const rel = parts.slice(2).join('/');
      if (root !== undefined && !rel.split('/').includes('..')) file = path.join(root, rel);
    }
    if (body === null && file !== null) {
      try {
        body = fs.readFileSync(file);
      } catch {
        body = null;
      }
    }
    if (body === null) {
      res.writeHead(404, { 'content-type': 'text/plain' });
      res.end('not found');
      return;
    }
    res.writeHead(200, { 'content-type': mimeOf(file), 'cache-control': 'max-age=3600' });
    res.end(body);
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const base = `http://127.0.0.1:${server.address().port}`;
      resolve({
        base,
        // The URL a movie file is played at; its folder is served with it.
        urlOf(file) {
          const dir = path.dirname(path.resolve(file));
          let k = folders.indexOf(dir);
          if (k < 0) k = folders.push(dir) - 1;
          return `${base}/f${k}/${encodeURIComponent(path.basename(file))}`;
        },
        close: () => new Promise((r) => server.close(() => r())),
      });
    });
  });
}

// Ruffle writes every log record to the console as a styled format string,
// "%cINFO%c <source file>:<line>%c <text>"; trace() output is the record of
// its log adapter (source "log_adapter.rs"). Returns the traced lines of such
// a format string (a trace of several lines gives several), [] for others.
function traceLines(format) {
  const m = /log_adapter\.rs:\d+(?:%c)? ?([\s\S]*)$/.exec(format);
  if (!m) return [];
  return m[1].split(/\r\n|\r|\n/);
}

class Player {
  static async start(options = {}) {
    const { chromium, ruffleDir } = loadDependencies();
    const server = await startServer(ruffleDir);
    // launch() gives the browser a fresh profile folder of its own (and
    // removes it on close), as --user-data-dir would.
    const args = [
      '--headless', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--autoplay-policy=no-user-gesture-required', '--mute-audio',
      '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
      '--disable-backgrounding-occluded-windows',
    ];
    if (process.getuid && process.getuid() === 0) args.push('--no-sandbox');
    const browser = await chromium.launch({
      executablePath: CHROMIUM,
      headless: true,
      args,
      chromiumSandbox: false,
    });
    return new Player(browser, server, options);
  }

  constructor(browser, server, options) {
    this.browser = browser;
    this.server = server;
    this.verbose = !!options.verbose;
  }

  // Plays `file` for `seconds` and returns { lines, times, loaded, error,
  // other }: the traced lines, the second each was traced (counted from the
  // moment the player started loading the movie), whether it started, what
  // went wrong otherwise, and (verbose) the other console messages. With
  // `servedAs`, the bytes of `file` are played at the URL of `servedAs`.
  async play(file, seconds = DEFAULT_PLAY_SECONDS, servedAs = null) {
    const movieUrl = this.server.urlOf(servedAs || file);
    const result = { lines: [], times: [], loaded: false, error: '', other: [] };
    const context = await this.browser.newContext({ viewport: { width: 550, height: 400 } });
    let timer = null;
    try {
      if (servedAs) {
        const bytes = fs.readFileSync(file);
        await context.route(movieUrl, (route) =>
          route.fulfill({ status: 200, contentType: mimeOf(file), body: bytes }));
      }
      const page = await context.newPage();
      let started = Date.now();
      let startedNow;
      const playerStarted = new Promise((r) => { startedNow = r; });
      // Trace lines are read from the console message's format string (its
      // first argument): the message's text also holds the styles.
      const pending = [];
      page.on('console', (msg) => {
        const text = msg.text();
        const t = (Date.now() - started) / 1000;
        if (text === 'framestow:loaded') {
          result.loaded = true;
          started = Date.now();
          startedNow();
        } else if (text.startsWith('framestow:load-failed')) {
          result.error = text.slice('framestow:'.length);
          startedNow();
        } else if (text.includes('log_adapter.rs')) {
          const args = msg.args();
          pending.push((args.length ? args[0].jsonValue() : Promise.resolve(text))
            .catch(() => text)
            .then((format) => ({ format, t })));
        } else if (this.verbose) {
          result.other.push(`${t.toFixed(3)} ${text}`);
        }
      });
      page.on('pageerror', (e) => {
        if (this.verbose) result.other.push(`pageerror: ${e.message}`);
      });
      await page.goto(`${this.server.base}/player.html?movie=${encodeURIComponent(movieUrl)}`);
      const gaveUp = await Promise.race([
        playerStarted.then(() => false),
        new Promise((r) => { timer = setTimeout(() => r(true), START_TIMEOUT_MS); }),
      ]);
      if (gaveUp) {
        result.error = `the player did not start within ${START_TIMEOUT_MS / 1000} s`;
      } else if (!result.error) {
        await page.waitForTimeout(seconds * 1000);
      }
      // Stop the movie before reading the messages it left.
      await page.evaluate(() => document.querySelectorAll('ruffle-player').forEach((p) => p.remove()))
        .catch(() => {});
      for (const { format, t } of await Promise.all(pending)) {
        for (const line of traceLines(String(format))) {
          result.lines.push(line);
          result.times.push(Math.round(t * 1000) / 1000);
        }
      }
      await page.close();
    } catch (e) {
      result.error = String(e && e.message ? e.message : e);
    } finally {
      clearTimeout(timer);
      await context.close().catch(() => {});
    }
    return result;
  }

  async stop() {
    await this.browser.close().catch(() => {});
    await this.server.close();
  }
}

// Runs `worker(item)` over `items`, at most `limit` at once; results in order.
async function mapLimit(items, limit, worker) {
  const results = new Array(items.length);
  let next = 0;
  async function lane() {
    while (next < items.length) {
      const k = next++;
      results[k] = await worker(items[k], k);
    }
  }
  await Promise.all(Array.from({ length: Math.min(limit, items.length) }, lane));
  return results;
}

// The first place two traces part: { index, expected, actual } (a missing
// line reads null), or null when they are the same.
function firstDifference(expected, actual) {
  const n = Math.max(expected.length, actual.length);
  for (let i = 0; i < n; i++) {
    const e = i < expected.length ? expected[i] : null;
    const a = i < actual.length ? actual[i] : null;
    if (e !== a) return { index: i, expected: e, actual: a };
  }
  return null;
}

// The comment at the top of a script (after its #! line), as its usage text.
function usageText(file) {
  const lines = fs.readFileSync(file, 'utf8').split('\n').slice(1);
  const end = lines.findIndex((l) => !l.startsWith('//'));
  return lines.slice(0, end < 0 ? lines.length : end).map((l) => l.replace(/^\/\/ ?/, '')).join('\n');
}

module.exports = {
  REPO, WORK_DIR, DEFAULT_PLAY_SECONDS, Player, mapLimit, firstDifference, traceLines, usageText,
};
