// The search box is labelled and reached with Tab; Enter searches; focus
// is always visible; the outcome is announced through a live region; the
// page fits a phone's width.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { artifactPath } from './support/site.mjs';
import { openSampleSite, settled } from './support/search-page.mjs';

const site = await openSampleSite();
after(() => site.close());

const focused = () => site.page.evaluate(() => {
  const e = document.activeElement;
  const style = getComputedStyle(e);
  return { tag: e.tagName, id: e.id, text: e.textContent, outline: style.outlineStyle !== 'none' && parseFloat(style.outlineWidth) >= 2 };
});

test('search with the keyboard alone', async () => {
  const { page } = site;
  await page.goto(site.searchUrl);
  await page.keyboard.press('Tab');
  assert.deepEqual(await focused(), { tag: 'INPUT', id: 'vk-q', text: '', outline: true });
  await page.keyboard.type('snowshoe');
  await page.keyboard.press('Enter');
  await settled(page);

  await page.keyboard.press('Tab');
  assert.equal((await focused()).tag, 'BUTTON');
  assert.equal((await focused()).outline, true);
  await page.keyboard.press('Tab');
  const link = await focused();
  assert.equal(link.tag, 'A');
  assert.equal(link.outline, true);
  assert.match(link.text, /snowshoe/i);
  await page.screenshot({ path: artifactPath('search-keyboard-focus.png') });
  await page.keyboard.press('Enter');
  await page.waitForURL(/trails\/winter\//);
});

test('the outcome is announced and the box is labelled', async () => {
  const { page } = site;
  await page.goto(`${site.searchUrl}?q=boots`);
  await settled(page);
  const status = page.getByRole('status');
  assert.equal(await status.getAttribute('aria-live'), 'polite');
  assert.match(await status.textContent(), /^\d+ results? for \u201Cboots\u201D/);
  assert.equal(await page.getByRole('searchbox', { name: 'Words to find' }).inputValue(), 'boots');
  assert.equal(await page.getByRole('list', { name: 'Search results' }).getByRole('listitem').count() > 0, true);
});

test('the results fit a phone screen', async () => {
  const { page } = site;
  await page.setViewportSize({ width: 360, height: 740 });
  await page.goto(`${site.searchUrl}?q=${encodeURIComponent('trailbook offline maps')}`);
  await settled(page);
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth));
  await page.screenshot({ path: artifactPath('search-results-phone.png') });
  assert.deepEqual(site.errors, []);
});
