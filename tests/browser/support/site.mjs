// Shared set-up of the browser tests and the benchmarks: building an index
// with the vossik program, asking its terminal search, serving a site over
// http on the loopback address, and starting the system's Chromium.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);

export const repoRoot = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
export const sampleSite = path.join(repoRoot, 'sample-site');

/** The build folder named by VOSSIK_BUILD_DIR; throws when it is not set. */
export function buildDir() {
  const dir = process.env.VOSSIK_BUILD_DIR;
  if (!dir) throw new Error('Set VOSSIK_BUILD_DIR to the CMake build folder');
  return path.resolve(dir);
}

export function tempDir(prefix) {
  return fs.mkdtempSync(path.join(os.tmpdir(), prefix));
}

/**
 * Copies `source` into a fresh working folder and builds its index with
 * `vossik -build` into the target folder `dest`. The repository's templates
 * are copied into the working folder, where the program looks first, so the
 * tests always run the templates as they are in the tree.
 * Returns { work, site, out, settings } for terminalSearch().
 */
export function buildIndex(source, { dest = 'search', settings = [], work = tempDir('vossik-site-') } = {}) {
  const site = path.join(work, 'site');
  fs.cpSync(source, site, { recursive: true });
  fs.cpSync(path.join(repoRoot, 'templates'), path.join(work, 'templates'), { recursive: true });
  const all = [`index:dirsrc=${site}`, `index:dirdest=${dest}`, ...settings];
  execFileSync(path.join(buildDir(), 'vossik'), ['-build', ...all.flatMap((s) => ['-set', s])],
    { cwd: work, stdio: ['ignore', 'pipe', 'pipe'] });
  return { work, site, out: path.join(site, ...dest.split('/')), settings: all };
}

/** The URLs of `vossik -search` for a built index, best first. */
export function terminalSearch(built, query) {
  const text = execFileSync(path.join(buildDir(), 'vossik'),
    ['-search', query, ...built.settings.flatMap((s) => ['-set', s])],
    { cwd: built.work, encoding: 'utf8' });
  return [...text.matchAll(/^\d+\. .*\n {3}(.*)$/gm)].map((m) => m[1]);
}

const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css', '.gif': 'image/gif', '.txt': 'text/plain; charset=utf-8' };

/**
 * Serves `root` on 127.0.0.1 at a random port. With gzip, responses are
 * compressed when the browser accepts it. `sent` counts the bytes of every
 * response body as they went out.
 */
export async function serve(root, { gzip = false } = {}) {
  const served = { sent: 0, requests: [] };
  const server = http.createServer((req, res) => {
    const pathname = decodeURIComponent(new URL(req.url, 'http://localhost').pathname);
    const file = path.join(root, pathname);
    if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    let body = fs.readFileSync(file);
    const headers = { 'content-type': TYPES[path.extname(file)] || 'application/octet-stream',
      'cache-control': 'no-store' };
    if (gzip && /\bgzip\b/.test(req.headers['accept-encoding'] || '')) {
      body = zlib.gzipSync(body, { level: 6 });
      headers['content-encoding'] = 'gzip';
    }
    headers['content-length'] = body.length;
    served.sent += body.length;
    served.requests.push(pathname);
    res.writeHead(200, headers).end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  served.url = `http://127.0.0.1:${server.address().port}`;
  served.close = () => new Promise((resolve) => server.close(resolve));
  return served;
}

/** The system's Chromium with a fresh profile; never a downloaded browser. */
export async function launch() {
  const { chromium } = require('playwright-core');
  const profile = tempDir('vossik-chromium-');
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    viewport: { width: 1000, height: 900 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const close = async () => {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return { context, close };
}

/** Where the tests leave screenshots: the build folder's browser-artifacts. */
export function artifactPath(name) {
  const dir = path.join(buildDir(), 'browser-artifacts');
  fs.mkdirSync(dir, { recursive: true });
  return path.join(dir, name);
}
