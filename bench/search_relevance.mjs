// Relevance of the site search on Debian's python3.11-doc HTML: builds the
// index with `vossik -build` (HTML pages only: the 530 pages of the manual),
// runs each query of relevance_queries.json through the search script as
// the build wrote it, and reports where the wanted page lands: top-1,
// top-5 and the mean reciprocal rank. For comparison it also ranks with
// matched words alone (page-list order within them), which is what the
// index gives without a relevance order, with the manual's own search page
// (Sphinx's, over its 3.6 MB full-text index, run in Chromium: the peer to
// beat), and checks that the terminal search (`vossik -search`) returns the
// same top ten.
//
// Usage: VOSSIK_BUILD_DIR=build node bench/search_relevance.mjs [--keep] [--no-peer]
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';
import { fileURLToPath } from 'node:url';
import { buildIndex, launch, serve, terminalSearch, tempDir } from '../tests/browser/support/site.mjs';
import { loadBuiltIndex } from '../tests/browser/support/script.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const { site, queries } = JSON.parse(fs.readFileSync(path.join(here, 'relevance_queries.json'), 'utf8'));
const work = tempDir('vossik-relevance-');
const started = Date.now();
const built = buildIndex(site, { work, settings: ['index:typeinclude=*.htm'] });
const buildSeconds = (Date.now() - started) / 1000;
const VK = loadBuiltIndex(built.out);
const pages = loadPages(built.out);

function loadPages(out) {
  return vm.runInNewContext(`${fs.readFileSync(path.join(out, 'sitemap.js'), 'utf8')}; g_asPages`);
}

function rankOf(urls, want) {
  const i = urls.indexOf(want);
  return i < 0 ? Infinity : i + 1;
}

function score(ranks) {
  const n = ranks.length;
  return {
    top1: ranks.filter((r) => r === 1).length / n,
    top5: ranks.filter((r) => r <= 5).length / n,
    mrr: ranks.reduce((sum, r) => sum + (r === Infinity ? 0 : 1 / r), 0) / n,
  };
}

// The pages the manual's own search page lists for each query, best first.
async function peerResults() {
  const server = await serve(built.site);
  const browser = await launch();
  const page = await browser.context.newPage();
  const results = [];
  try {
    for (const { q } of queries) {
      await page.goto(`${server.url}/search.html?q=${encodeURIComponent(q)}`);
      await page.waitForFunction(() => /Search finished/.test(document.getElementById('search-results')?.textContent),
        null, { timeout: 60000 });
      const hrefs = await page.$$eval('#search-results ul.search li a', (as) => as.map((a) => a.getAttribute('href')));
      results.push([...new Set(hrefs.map((h) => h.replace(/[#?].*$/, '')))]);
    }
  } finally {
    await browser.close();
    await server.close();
  }
  return results;
}
const peer = process.argv.includes('--no-peer') ? null : await peerResults();

const rows = [];
let terminalDiffers = 0;
for (const { q, want, kind } of queries) {
  const hits = VK.rank(VK.parse(q));
  const urls = hits.map((h) => pages[3 * h.page - 2]);
  const plainUrls = [...hits].sort((a, b) => b.matched - a.matched || a.page - b.page)
    .map((h) => pages[3 * h.page - 2]);
  const terminal = terminalSearch(built, q);
  if (JSON.stringify(terminal) !== JSON.stringify(urls.slice(0, terminal.length)) || terminal.length !== Math.min(10, urls.length)) {
    terminalDiffers++;
    console.error(`terminal differs for "${q}":\n  script:   ${urls.slice(0, 10).join(' ')}\n  terminal: ${terminal.join(' ')}`);
  }
  const peerRank = peer ? rankOf(peer[rows.length], want) : Infinity;
  rows.push({ q, want, kind, rank: rankOf(urls, want), plain: rankOf(plainUrls, want), peer: peerRank, hits: hits.length, top: urls[0] });
}

const pad = (s, n) => String(s).padEnd(n);
console.log(`${pad('query', 36)}${pad('kind', 8)}${pad('rank', 6)}${pad('plain', 7)}${pad('peer', 6)}${pad('hits', 6)}top result`);
for (const r of rows) {
  console.log(`${pad(r.q, 36)}${pad(r.kind, 8)}${pad(r.rank, 6)}${pad(r.plain, 7)}${pad(peer ? r.peer : '-', 6)}${pad(r.hits, 6)}${r.top === r.want ? '=' : r.top}`);
}
const ranked = score(rows.map((r) => r.rank));
const plain = score(rows.map((r) => r.plain));
const pct = (x) => `${(100 * x).toFixed(0)}%`;
console.log(`\n${pages.length / 3} pages indexed in ${buildSeconds.toFixed(1)} s; ${rows.length} queries`);
console.log(`ranked:        top-1 ${pct(ranked.top1)}  top-5 ${pct(ranked.top5)}  MRR ${ranked.mrr.toFixed(3)}`);
console.log(`matched only:  top-1 ${pct(plain.top1)}  top-5 ${pct(plain.top5)}  MRR ${plain.mrr.toFixed(3)}`);
if (peer) {
  const p = score(rows.map((r) => r.peer));
  console.log(`manual's own:  top-1 ${pct(p.top1)}  top-5 ${pct(p.top5)}  MRR ${p.mrr.toFixed(3)}`);
}
console.log(`terminal search agrees on ${rows.length - terminalDiffers} of ${rows.length} queries`);
for (const kind of [...new Set(rows.map((r) => r.kind))]) {
  const s = score(rows.filter((r) => r.kind === kind).map((r) => r.rank));
  console.log(`  ${pad(kind, 8)} top-1 ${pct(s.top1)}  top-5 ${pct(s.top5)}  MRR ${s.mrr.toFixed(3)}`);
}
if (process.argv.includes('--keep')) console.log(`index kept in ${built.out}`);
else fs.rmSync(work, { recursive: true, force: true });
process.exitCode = terminalDiffers ? 1 : 0;
