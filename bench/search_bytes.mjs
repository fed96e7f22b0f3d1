// Bytes on the wire for a visitor's first search, page load included, on
// Debian's python3.11-doc HTML (530 pages): builds the index with
// `vossik -build`, serves the site with gzip on the loopback address, and
// for each query opens the search page in a fresh Chromium profile, types
// the query and waits for the results. Counts what the browser received
// (bodies as sent, compressed, plus response headers) and lists every file.
//
// Usage: VOSSIK_BUILD_DIR=build node bench/search_bytes.mjs [budget KB, default 120]
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { buildIndex, launch, serve, tempDir } from '../tests/browser/support/site.mjs';
import { searchFor } from '../tests/browser/support/search-page.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const { site } = JSON.parse(fs.readFileSync(path.join(here, 'relevance_queries.json'), 'utf8'));
const budget = Number(process.argv[2] || 120) * 1024;
const queries = ['json dumps', 'os.path join', 'subprocess run timeout', 'reading writing files',
  'virtual environments packages'];

const work = tempDir('vossik-bytes-');
const built = buildIndex(site, { work, settings: ['index:typeinclude=*.htm'] });
const server = await serve(built.site, { gzip: true });
const kb = (n) => `${(n / 1024).toFixed(1)} KB`;
let worst = 0;

try {
  for (const query of queries) {
    const browser = await launch();
    const page = await browser.context.newPage();
    const responses = [];
    page.on('response', (r) => responses.push(r));
    await page.goto(`${server.url}/search/vkexample.html`);
    await searchFor(page, query);
    let total = 0;
    const files = [];
    for (const r of responses) {
      const sizes = await r.request().sizes();
      const bytes = sizes.responseBodySize + sizes.responseHeadersSize;
      total += bytes;
      files.push(`${path.basename(new URL(r.url()).pathname)} ${kb(bytes)}`);
    }
    worst = Math.max(worst, total);
    console.log(`"${query}": ${kb(total)} in ${responses.length} files (${files.join(', ')})`);
    await browser.close();
  }
} finally {
  await server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
console.log(`largest first search: ${kb(worst)}, budget ${kb(budget)}: ${worst <= budget ? 'within' : 'OVER'}`);
process.exitCode = worst <= budget ? 0 : 1;
