// What the web host's tests share: a demo device, the built program serving it, raw HTTP
// requests, Chromium through playwright-core, and the preferences file read by plistlib.
import { spawn, spawnSync } from 'node:child_process';
import { cpSync, mkdtempSync, rmSync } from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import path from 'node:path';

const sourceDir = process.env.VX_SOURCE_DIR;
const program = process.env.VX_PROGRAM;
if (!sourceDir || !program) throw new Error('VX_SOURCE_DIR and VX_PROGRAM must be set (CTest sets them)');

export const preferencesFile = 'var/mobile/Library/Preferences/com.corvane.veltrix.plist';

// Waits for `predicate` on a child's growing output, failing after `ms`.
function waitForOutput(stream, predicate, ms, what) {
  return new Promise((resolve, reject) => {
    let text = '';
    const timer = setTimeout(() => reject(new Error('no ' + what + ' within ' + ms + ' ms: ' + text)), ms);
    stream.on('data', (chunk) => {
      text += chunk;
      const found = predicate(text);
      if (found) {
        clearTimeout(timer);
        resolve(found);
      }
    });
  });
}

// A fresh copy of the demo device with the bundle installed.
export function demoDevice() {
  const scratch = mkdtempSync(path.join(tmpdir(), 'vx-web-'));
  const device = path.join(scratch, 'device');
  cpSync(path.join(sourceDir, 'examples', 'device'), device, { recursive: true });
  const init = spawnSync(program, ['--root', device, 'init']);
  if (init.status !== 0) throw new Error('init failed: ' + init.stderr);
  return { scratch, device, remove: () => rmSync(scratch, { recursive: true, force: true }) };
}

// `veltrix-settings --root DEVICE [--lang L] serve ...`, once it printed its address;
// `under` runs it under another program (its command line, the program's follows), in a
// process group of their own that stop() signals as a whole.
export async function serve(device, { lang = 'en', args = [], under = [] } = {}) {
  const command = [...under, program, '--root', device, '--lang', lang, 'serve', ...args];
  const child = spawn(command[0], command.slice(1), {
    env: { ...process.env, VELTRIX_NOTIFY_DIR: path.join(path.dirname(device), 'notify') },
    detached: under.length > 0,
  });
  let errors = '';
  child.stderr.on('data', (chunk) => { errors += chunk; });
  const exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal })));
  const line = await waitForOutput(child.stdout, (text) => text.match(/^Serving (http:\/\/\S+:(\d+)\/)\?token=(\S+)\n/), 20000, 'address');
  return {
    child, exited, url: line[0].slice('Serving '.length).trim(), base: line[1], port: Number(line[2]), token: line[3],
    errors: () => errors,
    async stop() {
      if (under.length > 0) process.kill(-child.pid, 'SIGTERM');
      else child.kill('SIGTERM');
      return exited;
    },
  };
}

// One HTTP request with exactly the given path and headers.
export function request(port, { method = 'GET', target = '/', headers = {}, body } = {}) {
  return new Promise((resolve, reject) => {
    const req = http.request({ host: '127.0.0.1', port, method, path: target, headers: { Host: '127.0.0.1:' + port, ...headers } },
      (res) => {
        let text = '';
        res.setEncoding('utf8');
        res.on('data', (chunk) => { text += chunk; });
        res.on('end', () => resolve({ status: res.statusCode, headers: res.headers, text }));
      });
    req.on('error', reject);
    if (body !== undefined) req.write(body);
    req.end();
  });
}

export function gesture(server, line) {
  return request(server.port, {
    method: 'POST', target: '/api/gesture', body: JSON.stringify({ line }),
    headers: { Authorization: 'Bearer ' + server.token, 'Content-Type': 'application/json' },
  }).then((response) => ({ status: response.status, ...JSON.parse(response.text) }));
}

// The preferences file as Python's plistlib reads it.
export function readPreferences(device) {
  const read = spawnSync('python3', ['-c', 'import json, plistlib, sys; print(json.dumps(plistlib.load(open(sys.argv[1], "rb"))))',
    path.join(device, preferencesFile)]);
  if (read.status !== 0) throw new Error('plistlib: ' + read.stderr);
  return JSON.parse(read.stdout);
}

// Another process changing the file: `veltrix-settings prefs write KEY ARGS...`.
export function prefsWrite(device, ...args) {
  const write = spawnSync(program, ['--root', device, 'prefs', 'write', ...args], {
    env: { ...process.env, VELTRIX_NOTIFY_DIR: path.join(path.dirname(device), 'notify') },
  });
  if (write.status !== 0) throw new Error('prefs write: ' + write.stderr);
}

// Chromium from Debian with a fresh profile.
export async function browser({ colorScheme = 'light' } = {}) {
  const require = createRequire(path.join(sourceDir, 'web', 'package.json'));
  const { chromium } = require('playwright-core');
  const profile = mkdtempSync(path.join(tmpdir(), 'vx-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    colorScheme,
    viewport: { width: 430, height: 760 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  return {
    context,
    async close() {
      await context.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// Where to save screenshots (VX_SCREENSHOT_DIR), or nothing.
export function screenshotPath(name) {
  return process.env.VX_SCREENSHOT_DIR ? path.join(process.env.VX_SCREENSHOT_DIR, name + '.png') : undefined;
}
