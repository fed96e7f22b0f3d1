// The sample site built and served for one browser scenario, and the few
// steps every scenario takes on its search page.
import fs from 'node:fs';
import { buildIndex, launch, sampleSite, serve } from './site.mjs';

/**
 * Builds the sample site's index into `dest`, serves the site over http and
 * starts a browser. Call close() when done.
 */
export async function openSampleSite({ dest = 'search' } = {}) {
  const built = buildIndex(sampleSite, { dest });
  const server = await serve(built.site);
  const browser = await launch();
  const page = await browser.context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  return {
    built, server, browser, page, errors,
    searchUrl: `${server.url}/${dest}/vkexample.html`,
    async close() {
      await browser.close();
      await server.close();
      fs.rmSync(built.work, { recursive: true, force: true });
    },
  };
}

/** Waits until the search started on `page` has shown its outcome. */
export async function settled(page) {
  await page.waitForSelector('#vk-results:not([aria-busy])', { state: 'attached' });
  return page.textContent('#vk-status');
}

/** Types `query` into the labelled search box and presses Enter. */
export async function searchFor(page, query) {
  await page.getByLabel('Words to find').fill(query);
  await page.getByLabel('Words to find').press('Enter');
  return settled(page);
}

/** The results shown: link target, title, URL line, summary, missing words. */
export function shownResults(page) {
  return page.$$eval('#vk-results > li', (items) => items.map((li) => ({
    href: li.querySelector('a').href,
    title: li.querySelector('a').textContent,
    url: li.querySelector('.vk-url').textContent,
    summary: li.querySelector('p').textContent,
    missing: li.querySelector('.vk-missing')?.textContent ?? null,
  })));
}

/** Clicks "More results" until every result is shown. */
export async function showAll(page) {
  while (await page.isVisible('#vk-more')) await page.click('#vk-more');
  return shownResults(page);
}
