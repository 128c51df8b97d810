// The lock-screen preview in the web host: the page at /preview, the themes' frames and
// files, their isolation, and the live updates, in Chromium and through raw requests.
import assert from 'node:assert/strict';
import { mkdirSync, symlinkSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { browser, demoDevice, gesture, readPreferences, request, screenshotPath, serve } from './support.mjs';

// A theme that writes what it can see into its own page: its variables, whether its own
// relative script loaded, and whether it reached the page around it, the cookie or the API.
const echoPage = `<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Echo</title><script>
var seen = { greeting: typeof greeting === "undefined" ? null : greeting,
             closing: typeof closing === "undefined" ? null : closing,
             lines: typeof lines === "undefined" ? null : lines,
             flag: typeof flag === "undefined" ? null : flag };
try { seen.parent = String(parent.document.title); } catch (e) { seen.parent = "blocked"; }
try { seen.cookie = String(document.cookie); } catch (e) { seen.cookie = "blocked"; }
</script><script src="extra.js"></script></head>
<body style="margin:0"><pre id="seen" style="color:#fff;font-size:10px"></pre><script>
fetch("/api/screen").then(function (r) { return r.status; }, function () { return "blocked"; })
  .then(function (api) { seen.api = api; document.getElementById("seen").textContent = JSON.stringify(seen); });
</script></body></html>
`;

function plistString(text) {
  return '<string>' + text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;') + '</string>';
}

const echoOptions = [
  ['greeting', 'edit', 'say "hi"'],
  ['closing', 'edit', '</script><b>x</b>'],
  ['lines', 'edit', 'one\ntwo'],
  ['flag', 'switch', 'true'],
].map(([name, type, value]) => '<dict><key>name</key>' + plistString(name) + '<key>label</key>' + plistString(name) +
  '<key>type</key>' + plistString(type) + '<key>default</key>' + plistString(value) + '</dict>').join('');

let device;
let server;
let chromium;

function addEchoTheme(root) {
  const folder = path.join(root, 'var/mobile/Library/Veltrix/Echo.theme');
  mkdirSync(folder, { recursive: true });
  writeFileSync(path.join(folder, 'Widget.html'), echoPage);
  writeFileSync(path.join(folder, 'extra.js'), 'seen.extra = true;\n');
  writeFileSync(path.join(folder, 'Options.plist'), '<?xml version="1.0" encoding="UTF-8"?>\n' +
    '<plist version="1.0"><array>' + echoOptions + '</array></plist>\n');
  mkdirSync(path.join(root, 'var/mobile/Library/Veltrix/Other.theme'), { recursive: true });
  writeFileSync(path.join(root, 'var/mobile/Library/Veltrix/Other.theme/secret.txt'), 'secret');
  symlinkSync('../Other.theme/secret.txt', path.join(folder, 'sibling.txt'));
  symlinkSync('/var/mobile/Library/Preferences', path.join(folder, 'prefs'));
}

async function run(...lines) {
  for (const line of lines) {
    const answer = await gesture(server, line);
    assert.equal(answer.status, 200, line + ': ' + answer.error);
  }
}

// The preview page, opened through the token's first load.
async function openPreview() {
  const page = await chromium.context.newPage();
  await page.goto(server.url);
  await page.goto(server.base + 'preview');
  await page.waitForSelector('.lock-screen');
  return page;
}

// Where each layer stands, back to front.
function layers(page) {
  return page.$$eval('.lock-screen > [data-key]', (elements) => elements
    .map((e) => ({ name: e.dataset.name, tag: e.tagName, z: Number(e.style.zIndex), x: e.style.left, y: e.style.top,
      sandbox: e.getAttribute('sandbox'), src: e.getAttribute('src') }))
    .sort((a, b) => a.z - b.z));
}

// The Echo theme's frame; one that was just put on the screen shows up once it has navigated.
async function echoFrame(page) {
  const isEcho = (f) => f !== page.mainFrame() && f.url().includes('/Widget.html') && f.url().includes(echoId);
  const navigated = page.waitForEvent('framenavigated', { predicate: isEcho });
  const shown = page.frames().find(isEcho);
  if (!shown) return navigated;
  navigated.catch(() => {});
  return shown;
}

// What the Echo theme saw, once it saw a greeting other than `not`: a frame still on its way
// to a new address may yet show its old page, and the wait carries on across the navigation.
async function echoSeen(page, not = null) {
  const frame = await echoFrame(page);
  const handle = await frame.waitForFunction((old) => {
    const text = document.getElementById('seen')?.textContent;
    return text && JSON.parse(text).greeting !== old && text;
  }, not);
  return JSON.parse(await handle.jsonValue());
}

let echoId;

before(async () => {
  device = demoDevice();
  addEchoTheme(device.device);
  server = await serve(device.device);
  await run('tap Themes', 'tap Battery', 'tap Quote', 'tap Shortcuts', 'tap Echo', 'button Done', 'back',
    'tap "Widget Coordinates"', 'clear Quote/X', 'type Quote/X 40', 'clear Quote/Y', 'type Quote/Y 12.5', 'back');
  chromium = await browser();
});

after(async () => {
  // A browser that never started must not keep the server, and so the test run, alive.
  await chromium?.close();
  const { code } = await server.stop();
  assert.equal(code, 0);
  device.remove();
});

test('the selected themes appear in order, at their coordinates, each in its own sandboxed frame', async () => {
  const page = await openPreview();
  const shown = await layers(page);
  assert.deepEqual(shown.map((l) => [l.name, l.tag]),
    [['Battery', 'IFRAME'], ['Quote', 'IFRAME'], ['Shortcuts', 'DIV'], ['Echo', 'IFRAME']]);
  assert.deepEqual(shown.map((l) => [l.x, l.y]), [['0px', '0px'], ['40px', '12.5px'], ['0px', '0px'], ['0px', '0px']]);
  for (const frame of shown.filter((l) => l.tag === 'IFRAME')) {
    assert.equal(frame.sandbox, 'allow-scripts');
    assert.match(frame.src, /^\/theme-files\/[0-9a-f]{32}\/Widget\.html\?v=/);
  }
  assert.match(await page.textContent('.placeholder'), /Shortcuts.*plugin/i);
  assert.match(await page.textContent('.status-bar'), /^\d\d:\d\d$/);
  const box = await page.$eval('.lock-screen', (e) => [e.offsetWidth, e.offsetHeight]);
  assert.deepEqual(box, [320, 568]);
  echoId = shown[3].src.split('/')[2];
  await page.close();
});

test('a theme sees the values the editor stored, and nothing of the page, the cookie or the API', async () => {
  const stored = readPreferences(device.device).ThemeOptions['/var/mobile/Library/Veltrix/Echo.theme'];
  assert.equal(stored.length, 4);
  const page = await openPreview();
  const seen = await echoSeen(page);
  assert.deepEqual(seen, {
    greeting: 'say "hi"', closing: '</script><b>x</b>', lines: 'one\ntwo', flag: true,
    parent: 'blocked', cookie: 'blocked', api: 'blocked', extra: true,
  });
  await page.close();
});

test('every path trick gets 404; the files of a shown theme need no cookie', async () => {
  const base = '/theme-files/' + echoId + '/';
  const token = { Authorization: 'Bearer ' + server.token };
  assert.equal((await request(server.port, { target: base + 'extra.js' })).status, 200);
  const tricks = ['../Other.theme/secret.txt', '%2e%2e/Other.theme/secret.txt', '%252e%252e/Other.theme/secret.txt',
    '..%2fOther.theme%2fsecret.txt', '/etc/passwd', '%2fetc%2fpasswd', 'extra.js%00.png', 'a/'.repeat(600) + 'x',
    'sibling.txt', 'prefs/com.corvane.veltrix.plist', 'missing.js', '.\\extra.js'];
  for (const trick of tricks) {
    const answer = await request(server.port, { target: base + trick, headers: token });
    assert.equal(answer.status, 404, trick);
  }
  const unselected = '/theme-files/' + '0'.repeat(32) + '/Widget.html';
  assert.equal((await request(server.port, { target: unselected, headers: token })).status, 404);
  assert.equal((await request(server.port, { target: unselected })).status, 403, 'no capability, no token');
  assert.equal((await request(server.port, { target: '/preview' })).status, 403, 'the page needs the token');
  const file = await request(server.port, { target: base + 'extra.js' });
  assert.match(file.headers['content-type'], /javascript/);
  assert.match(file.headers['content-security-policy'], /sandbox allow-scripts/);
  assert.equal(file.headers['x-content-type-options'], 'nosniff');
});

test('a change in the settings shows within one second, without reloading the page', async () => {
  const page = await openPreview();
  await page.evaluate(() => { window.notReloaded = true; });
  const within = { timeout: 1000 };

  await run('tap "Widget Coordinates"', 'type Battery/X 5');
  await page.waitForFunction(() => document.querySelector('[data-name="Battery"]')?.style.left === '5px', null, within);
  await run('back', 'tap Themes', 'tap Quote');
  await page.waitForFunction(() => !document.querySelector('[data-name="Quote"]'), null, within);
  await run('button Reorder', 'move #2 #0', 'button Done');
  await page.waitForFunction(() => [...document.querySelectorAll('.lock-screen > [data-key]')]
    .sort((a, b) => a.style.zIndex - b.style.zIndex).map((e) => e.dataset.name).join() === 'Echo,Battery,Shortcuts',
  null, within);
  const echoFrame = await page.$('.lock-screen > [data-name="Echo"]');
  const before = await echoFrame.getAttribute('src');
  await run('tap Echo', 'tap Echo', 'type greeting " again"', 'button Done');
  // Each gesture shows on its own, so Echo may briefly leave the screen between the taps.
  await page.waitForFunction((old) => {
    const echo = document.querySelector('[data-name="Echo"]');
    return echo !== null && echo.getAttribute('src') !== old;
  }, before, within);
  assert.equal((await echoSeen(page, 'say "hi"')).greeting, 'say "hi" again');
  assert.equal(await page.evaluate(() => window.notReloaded), true);
  await page.close();
});

test('the settings page shows the preview beside its pages, or behind a button when narrow', async () => {
  await run('tap Echo', 'tap Battery', 'tap Moon', 'tap Shortcuts', 'tap Shortcuts', 'back',
    'tap "Widget Coordinates"', 'clear Shortcuts/Y', 'type Shortcuts/Y 380', 'clear Shortcuts/X', 'type Shortcuts/X 60',
    'keyboard hide');
  const page = await chromium.context.newPage();
  await page.setViewportSize({ width: 1100, height: 760 });
  await page.goto(server.url);
  const preview = page.locator('iframe#preview-frame');
  await preview.waitFor({ state: 'visible' });
  const shot = screenshotPath('preview');
  if (shot) {
    await page.frameLocator('#preview-frame').locator('.placeholder').waitFor();
    await page.screenshot({ path: shot });
  }
  await page.setViewportSize({ width: 430, height: 760 });
  await preview.waitFor({ state: 'hidden' });
  await page.click('#preview-button');
  await preview.waitFor({ state: 'visible' });
  await page.close();
});
