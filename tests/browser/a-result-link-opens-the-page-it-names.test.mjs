// A result's title links to its page relative to the search page, whatever
// the depth of the target folder: the link climbs to the site root first.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { openSampleSite, searchFor, shownResults } from './support/search-page.mjs';

for (const dest of ['search', 'tools/find/here']) {
  test(`from the target folder ${dest}`, async () => {
    const site = await openSampleSite({ dest });
    try {
      await site.page.goto(site.searchUrl);
      await searchFor(site.page, 'frozen waterfall');
      const [first] = await shownResults(site.page);
      assert.equal(first.href, `${site.server.url}/trails/winter/frozen-waterfall.html`);
      await site.page.getByRole('link', { name: 'The Frozen Waterfall Walk' }).click();
      await site.page.waitForURL(first.href);
      assert.equal(await site.page.textContent('h1'), 'The Frozen Waterfall Walk');
      assert.deepEqual(site.errors, []);
    } finally {
      await site.close();
    }
  });
}
