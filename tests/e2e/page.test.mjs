// The web host's page in Chromium, used only through the page, as a person would.
import assert from 'node:assert/strict';
import { writeFileSync } from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { browser, demoDevice, preferencesFile, prefsWrite, readPreferences, screenshotPath, serve } from './support.mjs';

// Stored coordinates make selecting Calendar ask whether to reset them.
const startingPreferences = `<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>WidgetCoordinates</key>
	<dict>
		<key>Calendar</key>
		<dict><key>widgetX</key><string>40</string><key>widgetY</key><string>0</string></dict>
	</dict>
	<key>enabled</key>
	<true/>
</dict>
</plist>
`;

let device;
let server;
let chromium;

before(async () => {
  device = demoDevice();
  writeFileSync(path.join(device.device, preferencesFile), startingPreferences);
  server = await serve(device.device);
  chromium = await browser();
});

after(async () => {
  // A browser that never started must not keep the server, and so the test run, alive.
  await chromium?.close();
  assert.equal((await server.stop()).code, 0);
  device.remove();
});

const title = (page) => page.locator('h1');
// Every gesture the page sent has been answered.
const idle = (page) => page.waitForSelector('#app:not([aria-busy])', { state: 'attached' });

async function openPage(context = chromium.context) {
  const page = await context.newPage();
  await page.goto(server.url);
  // The one application may still show where an earlier test left it: go back to the root.
  await page.locator('h1').waitFor();
  for (let step = 0; step < 10 && await page.locator('h1').textContent() !== 'Veltrix'; ++step) {
    const done = page.getByRole('button', { name: 'Done' });
    if (await done.count()) await done.click();
    else await page.keyboard.press('Escape');
    await idle(page);
  }
  return page;
}

async function shot(page, name) {
  const file = screenshotPath(name);
  if (!file) return;
  await page.evaluate(() => Promise.all(document.getAnimations().map((animation) => animation.finished)));
  await page.screenshot({ path: file });
}


test('the root page, a switch and a slider stored in the file, back with Escape and the back button', async () => {
  const page = await openPage();
  assert.equal(new URL(page.url()).search, '', 'the token left the address');
  assert.deepEqual(await page.locator('.header-title, .header-line').allTextContents(), ['Veltrix4', 'by Corvane Labs']);
  assert.deepEqual(await page.locator('.group-title').allTextContents(), ['General', 'Features', 'Extras']);
  assert.equal(await page.getByRole('button', { name: 'Themes' }).count(), 1);
  await shot(page, 'root');

  const enabled = page.getByRole('switch', { name: 'Enabled' });
  assert.equal(await enabled.getAttribute('aria-checked'), 'true');
  await enabled.click();
  await idle(page);
  assert.equal(await enabled.getAttribute('aria-checked'), 'false');
  assert.equal(readPreferences(device.device).enabled, false);
  await enabled.press('Space');
  await idle(page);
  assert.equal(readPreferences(device.device).enabled, true);

  await page.getByRole('button', { name: 'Notifications' }).press('Enter');
  await page.getByRole('heading', { level: 1, name: 'Notifications' }).waitFor();
  await page.getByRole('slider', { name: 'Maximum Shown' }).fill('12');
  await idle(page);
  assert.equal(readPreferences(device.device).maxNotifications, 12);
  assert.equal(await page.getByRole('slider', { name: 'Maximum Shown' }).inputValue(), '12');
  await page.keyboard.press('Escape');
  await page.getByRole('heading', { level: 1, name: 'Veltrix' }).waitFor();
  await page.getByRole('button', { name: 'Themes' }).click();
  await page.getByRole('button', { name: 'Back: Veltrix' }).click();
  await page.getByRole('heading', { level: 1, name: 'Veltrix' }).waitFor();
  await page.close();
});

test('the Themes road: select, reset alert, edit with the keyboard, pick, Done', async () => {
  const page = await openPage();
  await page.getByRole('button', { name: 'Themes' }).click();
  await title(page).filter({ hasText: 'Themes' }).waitFor();
  await shot(page, 'themes');
  await page.getByRole('button', { name: 'Calendar' }).click();
  const alert = page.getByRole('alertdialog', { name: 'Reset Widget Coordinates' });
  await alert.waitFor();
  assert.equal(await page.evaluate(() => document.activeElement.textContent), 'Reset', 'the alert takes the focus');
  await shot(page, 'alert');
  await alert.getByRole('button', { name: 'Reset' }).click();

  await title(page).filter({ hasText: 'Theme Settings' }).waitFor();
  assert.ok(await page.locator('.page.sheet').count(), 'the editor is a sheet');
  const accent = page.getByRole('textbox', { name: 'Accent colour' });
  await accent.click();
  await page.locator('.keyboard').waitFor();
  await accent.fill('');
  await accent.pressSequentially('#00aa00');
  await page.waitForFunction(() => document.querySelector('.scroll').style.paddingBottom !== '24px');
  await shot(page, 'editor-keyboard');
  await accent.press('Enter');
  await page.getByRole('button', { name: /Language/ }).click();
  await page.getByRole('button', { name: 'Français' }).click();
  await page.getByRole('button', { name: 'Done' }).click();
  await page.getByRole('button', { name: /Language.*Français/ }).waitFor();
  await page.getByRole('button', { name: 'Done' }).click();
  await title(page).filter({ hasText: 'Themes' }).waitFor();
  await idle(page);

  const stored = readPreferences(device.device);
  assert.deepEqual(stored.ThemeOptions['/var/mobile/Library/Tandrel/Calendar.theme'],
    ['var accentColor = "#00aa00" ;', 'var weekStartsMonday = true;', 'var language = "fr" ;']);
  assert.ok(stored.ThemesSelected.some((record) => record.name === 'Calendar'));
  await page.close();
});

test('a drag on the order page moves the theme; typed coordinates are stored', async () => {
  const page = await openPage();
  await page.getByRole('button', { name: 'Themes' }).click();
  await page.getByRole('button', { name: 'Battery' }).click();
  await page.getByRole('button', { name: 'Reorder' }).click();
  await title(page).filter({ hasText: 'Theme Order' }).waitFor();
  await page.evaluate(() => Promise.all(document.getAnimations().map((animation) => animation.finished)));
  const handles = page.getByRole('button', { name: /^Move: / });
  assert.equal(await handles.count(), 2);
  const from = await handles.nth(1).boundingBox();
  const to = await handles.nth(0).boundingBox();
  await page.mouse.move(from.x + from.width / 2, from.y + from.height / 2);
  await page.mouse.down();
  await page.mouse.move(to.x + to.width / 2, to.y + 2, { steps: 5 });
  await page.mouse.up();
  await idle(page);
  assert.equal(await page.locator('.cell .label').first().textContent(), 'Battery');
  await page.getByRole('button', { name: 'Done' }).click();
  await idle(page);
  assert.deepEqual(readPreferences(device.device).ThemesSelected.map((record) => record.name), ['Battery', 'Calendar']);
  await page.keyboard.press('Escape');

  await page.getByRole('button', { name: 'Widget Coordinates' }).click();
  const x = page.getByRole('textbox', { name: 'X' }).first();
  await x.fill('12.5');
  await x.press('Enter');
  await idle(page);
  assert.equal(readPreferences(device.device).WidgetCoordinates.Battery.widgetX, '12.5');
  await page.close();
});

test('another process and another tab show in the open page', async () => {
  const first = await openPage();
  const second = await openPage();
  const enabled = (page) => page.getByRole('switch', { name: 'Enabled' });

  prefsWrite(device.device, 'enabled', '-bool', 'NO');
  const seen = Date.now();
  await first.waitForSelector('[role=switch][aria-checked=false]', { timeout: 1000 });
  assert.ok(Date.now() - seen <= 1000);

  await enabled(second).click();
  await first.waitForSelector('[role=switch][aria-checked=true]', { timeout: 2000 });
  await second.getByRole('button', { name: 'Themes' }).click();
  await title(first).filter({ hasText: 'Themes' }).waitFor({ timeout: 2000 });
  await first.keyboard.press('Escape');
  await title(second).filter({ hasText: 'Veltrix' }).waitFor({ timeout: 2000 });
  await first.close();
  await second.close();
});

test('German texts with --lang de, and the dark appearance', async () => {
  const german = await serve(device.device, { lang: 'de' });
  const dark = await browser({ colorScheme: 'dark' });
  try {
    const page = await dark.context.newPage();
    await page.goto(german.url);
    await page.getByRole('switch', { name: 'Aktiviert' }).waitFor();
    assert.equal(await page.locator('html').getAttribute('lang'), 'de');
    assert.deepEqual(await page.locator('.group-title').allTextContents(), ['Allgemein', 'Funktionen', 'Extras']);
    const background = await page.evaluate(() => getComputedStyle(document.body).backgroundColor);
    assert.equal(background, 'rgb(0, 0, 0)');
    await shot(page, 'dark');
    await page.getByRole('button', { name: 'Mitteilungen' }).click();
    await page.getByRole('button', { name: 'Zurück: Veltrix' }).waitFor();
  } finally {
    await dark.close();
    await german.stop();
  }
});
