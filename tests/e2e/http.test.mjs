// The HTTP interface of `veltrix-settings serve`, through raw requests (no browser).
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { after, before, test } from 'node:test';

import { demoDevice, gesture, prefsWrite, readPreferences, request, serve } from './support.mjs';

let device;
let server;

before(async () => {
  device = demoDevice();
  server = await serve(device.device, { args: ['--token', 'secret-token'] });
});

after(async () => {
  const { code } = await server.stop();
  assert.equal(code, 0, 'SIGTERM ends the server with status 0');
  device.remove();
});

test('prints its address with the token, then the cookie replaces the token', async () => {
  assert.match(server.url, /^http:\/\/127\.0\.0\.1:\d+\/\?token=secret-token$/);
  const first = await request(server.port, { target: '/?token=secret-token' });
  assert.equal(first.status, 303);
  assert.equal(first.headers.location, '/');
  const cookie = first.headers['set-cookie'][0];
  assert.match(cookie, /HttpOnly/);
  assert.match(cookie, /SameSite=Strict/);
  assert.match(cookie, /Path=\//);
  const page = await request(server.port, { headers: { Cookie: cookie.split(';')[0] } });
  assert.equal(page.status, 200);
  assert.match(page.headers['content-type'], /text\/html/);
  assert.doesNotMatch(page.text, /<script>|<style|\son[a-z]+=/i, "no inline script or style");
  for (const header of ['content-security-policy', 'x-content-type-options', 'referrer-policy']) assert.ok(page.headers[header], header);
  assert.match(page.headers['content-security-policy'], /script-src 'self'/);
  assert.doesNotMatch(page.headers['content-security-policy'], /unsafe-inline|https?:/);
});

test('each rule refuses with its status', async () => {
  const bearer = { Authorization: 'Bearer secret-token' };
  const line = JSON.stringify({ line: 'back' });
  const cases = [
    ['no token', { target: '/api/screen' }, 403],
    ['wrong token', { target: '/api/screen', headers: { Authorization: 'Bearer secret-tokem' } }, 403],
    ['wrong token in the address', { target: '/?token=nope' }, 403],
    ['wrong cookie', { target: '/', headers: { Cookie: 'veltrix_token_' + server.port + '=nope' } }, 403],
    ['another port\'s cookie', { target: '/', headers: { Cookie: 'veltrix_token_1=secret-token' } }, 403],
    ['foreign Host', { target: '/api/screen', headers: { ...bearer, Host: 'evil.example:' + server.port } }, 403],
    ['right name, wrong port', { target: '/api/screen', headers: { ...bearer, Host: 'localhost:1' } }, 403],
    ['foreign Origin', { method: 'POST', target: '/api/gesture', body: line, headers: { ...bearer, Origin: 'http://evil.example' } }, 403],
    ['opaque Origin', { method: 'POST', target: '/api/gesture', body: line, headers: { ...bearer, Origin: 'null' } }, 403],
    ['oversize body', { method: 'POST', target: '/api/gesture', body: 'x'.repeat(64 * 1024 + 1), headers: bearer }, 413],
    ['malformed JSON', { method: 'POST', target: '/api/gesture', body: '{"line":', headers: bearer }, 400],
    ['a body that is not UTF-8', { method: 'POST', target: '/api/gesture', body: Buffer.from([0x7b, 0xff]), headers: bearer }, 400],
    ['a number out of range', { method: 'POST', target: '/api/gesture', body: '{"n":1E400,"line":"back"}', headers: bearer }, 400],
    ['no line', { method: 'POST', target: '/api/gesture', body: '{"lines":"back"}', headers: bearer }, 400],
    ['two lines', { method: 'POST', target: '/api/gesture', body: '{"line":"back\\nback"}', headers: bearer }, 400],
    ['dot segments', { target: '/../etc/passwd', headers: bearer }, 404],
    ['encoded dot segments', { target: '/%2e%2e/%2e%2e/etc/passwd', headers: bearer }, 404],
    ['unknown path', { target: '/nothing', headers: bearer }, 404],
    ['localhost by name', { target: '/api/screen', headers: { ...bearer, Host: 'localhost:' + server.port } }, 200],
    ['own Origin', { method: 'POST', target: '/api/gesture', body: '{"line":"show"}', headers: { ...bearer, Origin: 'http://127.0.0.1:' + server.port } }, 200],
  ];
  for (const [name, options, status] of cases) {
    const response = await request(server.port, options);
    assert.equal(response.status, status, name + ': ' + response.text);
    assert.equal(response.headers['x-content-type-options'], 'nosniff', name);
    assert.equal(response.headers['referrer-policy'], 'no-referrer', name);
  }
  const api = await request(server.port, { target: '/api/screen', headers: bearer });
  assert.equal(api.headers['cache-control'], 'no-store');
  assert.match((await request(server.port, { method: 'POST', target: '/api/gesture', body: '[', headers: bearer })).text, /"error":"the body is not JSON/);
});

test('gestures answer the screen, or the message run gives and the screen', async () => {
  const screen = JSON.parse((await request(server.port, { target: '/api/screen', headers: { Authorization: 'Bearer secret-token' } })).text);
  assert.equal(screen.depth, 1);
  const tapped = await gesture(server, 'tap Themes');
  assert.equal(tapped.status, 200);
  assert.equal(tapped.screen.title, 'Themes');
  assert.equal(tapped.screen.back, screen.title);
  const refused = await gesture(server, 'tap Nowhere');
  assert.equal(refused.status, 422);
  assert.equal(refused.error, 'line 1: tap Nowhere: no row "Nowhere" on "Themes"');
  assert.equal(refused.screen.title, 'Themes');
  assert.equal((await gesture(server, 'fly away')).error, 'line 1: fly away: unknown gesture "fly"');
  assert.equal((await gesture(server, '# only a comment')).status, 200);
  assert.equal((await gesture(server, 'back')).screen.depth, 1);
});

test('a gesture whose save fails answers 422 with the reason and shows the stored value', async (t) => {
  // Every fsync of the server fails (strace injects the error).
  const inject = ['strace', '-f', '-o', '/dev/null', '-e', 'trace=fsync', '-e', 'inject=fsync:error=EIO'];
  if (spawnSync(inject[0], [...inject.slice(1), '/bin/true']).status !== 0) return t.skip('strace cannot inject faults here');
  const failing = demoDevice();
  prefsWrite(failing.device, 'enabled', '-bool', 'YES');
  const faulty = await serve(failing.device, { under: inject });
  try {
    const refused = await gesture(faulty, 'switch Enabled off');
    assert.equal(refused.status, 422);
    assert.match(refused.error, /^line 1: switch Enabled off: not saved: /);
    const row = refused.screen.sections.flatMap((section) => section.rows).find((shown) => shown.label === 'Enabled');
    assert.deepEqual(row.control, { kind: 'switch', on: true });
    assert.equal(readPreferences(failing.device).enabled, true);
  } finally {
    await faulty.stop();
    failing.remove();
  }
});
