// The web host's page: draws the screen the server sends (GET /api/screen, the `screen`
// events) as the device's Settings app shows it, and turns clicks, typing and drags into the
// gestures of `veltrix-settings run` (POST /api/gesture). It holds no page logic: every
// decision is the application's, and the page only draws what comes back.
'use strict';

const WORDS = {
  en: {
    back: 'Back', move: 'Move', keyboard: 'On-screen keyboard', settings: 'Settings',
    lost: 'Connection lost. Reconnecting…', on: 'On', off: 'Off', failed: 'Could not do that',
  },
  de: {
    back: 'Zurück', move: 'Verschieben', keyboard: 'Bildschirmtastatur', settings: 'Einstellungen',
    lost: 'Verbindung unterbrochen. Neuer Versuch…', on: 'Ein', off: 'Aus', failed: 'Das ging nicht',
  },
};
const lang = document.documentElement.lang in WORDS ? document.documentElement.lang : 'en';
const words = WORDS[lang];
const clientId = crypto.randomUUID();
const root = document.getElementById('app');

let current = null;          // the screen drawn last
let inFlight = 0;            // gestures sent and not yet answered
let queue = Promise.resolve();

// ---- Gestures

// One word of a script line: quoted, with \ and " escaped.
function quoted(text) {
  return '"' + String(text).replace(/[\r\n]+/g, ' ').replace(/\\/g, '\\\\').replace(/"/g, '\\"') + '"';
}

function rowRef(section, row) { return '#' + section + '.' + row; }

// Gestures go one at a time, in the order the user made them.
function send(line) {
  inFlight += 1;
  root.setAttribute('aria-busy', 'true');
  queue = queue.catch(() => {}).then(() => post(line)).finally(() => {
    if (inFlight === 0) root.removeAttribute('aria-busy');
  });
  return queue;
}

async function post(line) {
  let response;
  let body = null;
  try {
    response = await fetch('/api/gesture', {
      method: 'POST',
      headers: { 'Content-Type': 'application/json', 'X-Veltrix-Client': clientId },
      body: JSON.stringify({ line }),
    });
    body = await response.json().catch(() => null);
  } catch (error) {
    inFlight -= 1;
    notice(words.lost);
    return;
  }
  inFlight -= 1;
  if (body && body.screen) draw(body.screen);
  if (!response.ok) notice((body && body.error) || words.failed + ' (' + response.status + ')');
}

// The keyboard is up while a text field has the focus: the pages' keyboard avoidance sees it.
let keyboardWanted = false;

function textFieldFocused() {
  const active = document.activeElement;
  return active instanceof HTMLInputElement && active.type === 'text';
}

function setKeyboard(up) {
  if (up === keyboardWanted) return;
  keyboardWanted = up;
  send(up ? 'keyboard show' : 'keyboard hide');
}

// ---- Drawing helpers

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined && text !== null) node.textContent = text;
  return node;
}

function button(className, text, key, onClick) {
  const node = element('button', className, text);
  node.type = 'button';
  node.dataset.key = key;
  node.addEventListener('click', onClick);
  return node;
}

let noticeTimer = 0;
function notice(text) {
  let box = document.getElementById('notice');
  if (!box) {
    box = element('div', 'notice');
    box.id = 'notice';
    box.setAttribute('role', 'status');
    document.body.append(box);
  }
  box.textContent = text;
  box.hidden = false;
  clearTimeout(noticeTimer);
  noticeTimer = setTimeout(() => { box.hidden = true; }, 5000);
}

// ---- The navigation bar

function navigationBar(screen) {
  const bar = element('header', 'navbar');
  const left = element('div', 'bar-side bar-left');
  if (screen.back !== null && screen.back !== undefined) {
    const back = button('bar-button back', screen.back || words.back, 'back', () => send('back'));
    back.setAttribute('aria-label', words.back + ': ' + (screen.back || ''));
    left.append(back);
  }
  for (const title of screen.left) {
    left.append(button('bar-button', title, 'bar:' + title, () => send('button ' + quoted(title))));
  }
  const heading = element('h1', 'bar-title', screen.title);
  heading.tabIndex = -1;
  heading.dataset.key = 'title';
  const right = element('div', 'bar-side bar-right');
  for (const title of screen.right) {
    right.append(button('bar-button strong', title, 'bar:' + title, () => send('button ' + quoted(title))));
  }
  bar.append(left, heading, right);
  return bar;
}

// ---- Rows

function switchControl(row, s, r, labelId) {
  const toggle = button('switch', '', 'switch:' + s + '.' + r, () =>
    send('switch ' + rowRef(s, r) + ' ' + (row.control.on ? 'off' : 'on')));
  toggle.setAttribute('role', 'switch');
  toggle.setAttribute('aria-checked', String(row.control.on));
  toggle.setAttribute('aria-labelledby', labelId);
  return toggle;
}

function textControl(row, s, r, labelId) {
  const input = element('input', 'text-field');
  input.type = 'text';
  input.value = row.control.text;
  input.dataset.key = 'text:' + s + '.' + r;
  input.dataset.sent = row.control.text;
  input.setAttribute('aria-labelledby', labelId);
  input.autocomplete = 'off';
  input.spellcheck = false;
  input.addEventListener('focus', () => setKeyboard(true));
  // Decided a moment later: redrawing the screen moves the focused field, which blurs it.
  input.addEventListener('blur', () => setTimeout(() => setKeyboard(textFieldFocused()), 0));
  input.addEventListener('input', () => {
    // What the field held becomes what it holds now: typed on at the end, or cleared and
    // typed afresh, as a person would do it on the device.
    const before = input.dataset.sent;
    const now = input.value.replace(/[\r\n]+/g, ' ');
    const ref = rowRef(s, r);
    if (now === before) return;
    if (now.startsWith(before)) {
      send('type ' + ref + ' ' + quoted(now.slice(before.length)));
    } else {
      send('clear ' + ref);
      if (now) send('type ' + ref + ' ' + quoted(now));
    }
    input.dataset.sent = now;
  });
  input.addEventListener('keydown', (event) => {
    if (event.key === 'Enter') {
      event.preventDefault();
      send('return');
    }
  });
  return input;
}

function sliderControl(row, s, r, labelId) {
  const slider = element('input', 'slider');
  slider.type = 'range';
  slider.min = row.control.min;
  slider.max = row.control.max;
  slider.step = 'any';
  slider.value = row.control.value;
  slider.dataset.key = 'slider:' + s + '.' + r;
  slider.setAttribute('aria-labelledby', labelId);
  slider.addEventListener('change', () => send('slide ' + rowRef(s, r) + ' ' + slider.value));
  return slider;
}

function rowContent(row, labelId) {
  const parts = [];
  const label = element('span', 'label', row.label);
  label.id = labelId;
  parts.push(label);
  if (row.detail) parts.push(element('span', 'detail', row.detail));
  if (row.accessory === 'checkmark') {
    const mark = element('span', 'checkmark', '✓');
    mark.setAttribute('aria-hidden', 'true');
    parts.push(mark);
  } else if (row.accessory === 'disclosure') {
    const chevron = element('span', 'chevron', '›');
    chevron.setAttribute('aria-hidden', 'true');
    parts.push(chevron);
  }
  return parts;
}

function rowElement(row, s, r) {
  const labelId = 'label-' + s + '-' + r;
  const kind = row.control ? row.control.kind : null;
  let node;
  if (kind === 'switch' || kind === 'text' || kind === 'slider') {
    node = element('div', 'row with-control');
    node.append(...rowContent(row, labelId));
    const make = { switch: switchControl, text: textControl, slider: sliderControl }[kind];
    node.append(make(row, s, r, labelId));
  } else if (row.selectable) {
    node = button('row', '', 'row:' + s + '.' + r, () => send('tap ' + rowRef(s, r)));
    node.append(...rowContent(row, labelId));
    if (row.accessory === 'checkmark') node.setAttribute('aria-pressed', 'true');
  } else {
    node = element('div', 'row static');
    node.append(...rowContent(row, labelId));
  }
  const item = element('li', 'cell');
  item.dataset.section = s;
  item.dataset.row = r;
  item.append(node);
  if (row.movable) item.append(dragHandle(row, s, r));
  return item;
}

// ---- Reordering: a drag of the handle (or the arrow keys on it) becomes `move`.

function dragHandle(row, s, r) {
  const handle = element('span', 'handle', '≡');
  handle.tabIndex = 0;
  handle.dataset.key = 'handle:' + s + '.' + r;
  handle.setAttribute('role', 'button');
  handle.setAttribute('aria-label', words.move + ': ' + row.label);
  handle.addEventListener('keydown', (event) => {
    const count = current ? current.sections[s].rows.length : 0;
    const to = event.key === 'ArrowUp' ? r - 1 : event.key === 'ArrowDown' ? r + 1 : -1;
    if (to < 0 || to >= count) return;
    event.preventDefault();
    send('move ' + rowRef(s, r) + ' ' + rowRef(s, to)).then(() => focusKey('handle:' + s + '.' + to));
  });
  handle.addEventListener('pointerdown', (event) => startDrag(event, handle, s, r));
  return handle;
}

function startDrag(event, handle, s, r) {
  event.preventDefault();
  const item = handle.closest('li');
  const items = [...item.parentElement.children];
  const startY = event.clientY;
  let to = r;
  handle.setPointerCapture(event.pointerId);
  item.classList.add('dragging');
  const move = (e) => {
    const dy = e.clientY - startY;
    item.style.transform = 'translateY(' + dy + 'px)';
    to = r;
    items.forEach((other, index) => {
      const box = other.getBoundingClientRect();
      const middle = box.top + box.height / 2;
      if (index > r && e.clientY > middle) to = index;
      if (index < r && e.clientY < middle && to === r) to = index;
    });
    items.forEach((other, index) => other.classList.toggle('drop-target', index === to && index !== r));
  };
  const end = () => {
    handle.removeEventListener('pointermove', move);
    handle.removeEventListener('pointerup', end);
    handle.removeEventListener('pointercancel', end);
    item.style.transform = '';
    item.classList.remove('dragging');
    items.forEach((other) => other.classList.remove('drop-target'));
    if (to !== r) send('move ' + rowRef(s, r) + ' ' + rowRef(s, to));
  };
  handle.addEventListener('pointermove', move);
  handle.addEventListener('pointerup', end);
  handle.addEventListener('pointercancel', end);
}

// ---- Sections, alert, keyboard

function sectionElement(section, s) {
  const group = element('section', 'group');
  if (section.title !== null) group.append(element('h2', 'group-title', section.title));
  const list = element('ul', 'rows');
  section.rows.forEach((row, r) => list.append(rowElement(row, s, r)));
  if (section.rows.length) group.append(list);
  if (section.footer !== null) group.append(element('p', 'group-footer', section.footer));
  return group;
}

function alertElement(alert) {
  const backdrop = element('div', 'alert-backdrop');
  const box = element('div', 'alert');
  box.setAttribute('role', 'alertdialog');
  box.setAttribute('aria-modal', 'true');
  const title = element('h2', 'alert-title', alert.title);
  title.id = 'alert-title';
  const message = element('p', 'alert-message', alert.message);
  message.id = 'alert-message';
  box.setAttribute('aria-labelledby', 'alert-title');
  box.setAttribute('aria-describedby', 'alert-message');
  const buttons = element('div', alert.buttons.length === 2 ? 'alert-buttons pair' : 'alert-buttons');
  alert.buttons.forEach((label, index) => {
    buttons.append(button('alert-button', label, 'alert:' + index, () => send('alert ' + quoted(label))));
  });
  box.append(title, message, buttons);
  backdrop.append(box);
  return backdrop;
}

function keyboardElement(height) {
  const pad = element('div', 'keyboard');
  pad.style.height = height + 'px';
  pad.setAttribute('role', 'img');
  pad.setAttribute('aria-label', words.keyboard);
  for (const line of ['qwertyuiop', 'asdfghjkl', 'zxcvbnm']) {
    const keys = element('div', 'keys');
    for (const letter of line) keys.append(element('span', 'key', letter));
    pad.append(keys);
  }
  const last = element('div', 'keys');
  last.append(element('span', 'key wide', '123'), element('span', 'key space', ''), element('span', 'key wide', '⏎'));
  pad.append(last);
  return pad;
}

// ---- The whole screen

function samePage(a, b) {
  return a && b && a.title === b.title && a.depth === b.depth && a.modal === b.modal;
}

function focusKey(key) {
  const node = key && root.querySelector('[data-key="' + CSS.escape(key) + '"]');
  if (node) node.focus();
  return Boolean(node);
}

function draw(screen) {
  const previous = current;
  current = screen;
  if (inFlight === 0) keyboardWanted = screen.keyboard !== null && screen.keyboard !== undefined;
  const active = document.activeElement;
  const activeKey = active && root.contains(active) ? active.dataset.key : undefined;
  const oldScroll = root.querySelector('.scroll');
  const scrollTop = oldScroll ? oldScroll.scrollTop : 0;

  const page = element('div', 'page');
  if (screen.modal) page.classList.add('sheet');
  if (screen.modal && !(previous && previous.modal)) page.classList.add('rising');
  page.setAttribute('aria-label', words.settings);
  page.append(navigationBar(screen));
  const scroll = element('main', 'scroll');
  if (screen.header.length) {
    const header = element('div', 'table-header');
    screen.header.forEach((line, index) => header.append(element('p', index ? 'header-line' : 'header-title', line)));
    scroll.append(header);
  }
  screen.sections.forEach((section, s) => scroll.append(sectionElement(section, s)));
  const inset = screen.scroll ? screen.scroll.contentInset : [0, 0, 0, 0];
  scroll.style.paddingBottom = (24 + inset[2]) + 'px';
  page.append(scroll);
  if (screen.keyboard !== null && screen.keyboard !== undefined) page.append(keyboardElement(screen.keyboard));
  if (screen.alert) page.append(alertElement(screen.alert));

  // The field being typed in stays the same element: caret, selection and input method
  // are the browser's, and a typed text must never be thrown back at the user.
  let keep = null;
  if (active instanceof HTMLInputElement && active.type === 'text' && activeKey) {
    const fresh = page.querySelector('[data-key="' + CSS.escape(activeKey) + '"]');
    if (fresh) {
      if (inFlight === 0) {
        // Every edit is answered: the field shows what the application holds.
        if (active.value !== fresh.value) active.value = fresh.value;
        active.dataset.sent = fresh.value;
      }
      fresh.replaceWith(active);
      keep = active;
    }
  }
  root.replaceChildren(page);
  if (screen.alert) {
    scroll.inert = true;
    page.querySelector('.navbar').inert = true;
  }

  if (samePage(previous, screen)) {
    scroll.scrollTop = scrollTop;
  }
  if (screen.scroll && (!previous || !previous.scroll || !samePage(previous, screen) ||
      previous.scroll.contentOffset[1] !== screen.scroll.contentOffset[1])) {
    scroll.scrollTop = screen.scroll.contentOffset[1];
  }

  if (keep) {
    keep.focus();
  } else if (screen.alert) {
    focusKey('alert:0');
  } else if (activeKey && focusKey(activeKey)) {
    // the same control keeps the focus
  } else if (!samePage(previous, screen) && previous) {
    focusKey('title');  // a new page: screen readers read its title first
  }
  document.title = screen.title ? screen.title + ' – Veltrix' : 'Veltrix';
}

// ---- Keyboard shortcuts: Escape goes back (never past an alert).

document.addEventListener('keydown', (event) => {
  if (event.key !== 'Escape' || !current || current.alert) return;
  if (event.target instanceof HTMLInputElement && event.target.type === 'text') {
    event.target.blur();
    return;
  }
  if (current.back !== null && current.back !== undefined) {
    event.preventDefault();
    send('back');
  }
});

// ---- Start: the screen now, then every change made elsewhere.

async function start() {
  const response = await fetch('/api/screen');
  if (response.ok) draw(await response.json());
  const events = new EventSource('/api/events?client=' + encodeURIComponent(clientId));
  events.addEventListener('screen', (event) => draw(JSON.parse(event.data)));
  events.addEventListener('error', () => notice(words.lost));
  events.addEventListener('open', () => {
    const box = document.getElementById('notice');
    if (box && box.textContent === words.lost) box.hidden = true;
  });
}

start();
