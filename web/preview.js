// The lock-screen preview: draws the model that the program embeds in the page (themes back
// to front, each at its offset in points) and, when served live, redraws on every
// "preview" event of the web host. Frames are kept by key, so a move or a reorder never
// reloads a theme; a frame reloads only when its address changes (its options changed).
"use strict";

(function () {
  var screen = null;
  var clock = null;
  var shown = new Map();  // key -> element

  function formatTime(date) {
    var minutes = date.getMinutes();
    var hours = date.getHours();
    return (hours < 10 ? "0" : "") + hours + ":" + (minutes < 10 ? "0" : "") + minutes;
  }

  function startClock() {
    clock.textContent = formatTime(new Date());
    setTimeout(startClock, 60000 - (Date.now() % 60000));
  }

  function fit(model) {
    var host = document.getElementById("preview");
    var scale = Math.min(host.clientWidth / model.width, host.clientHeight / model.height) || 1;
    screen.style.width = model.width + "px";
    screen.style.height = model.height + "px";
    screen.style.transform = "scale(" + scale + ")";
    screen.style.left = Math.max(0, (host.clientWidth - model.width * scale) / 2) + "px";
    screen.style.top = Math.max(0, (host.clientHeight - model.height * scale) / 2) + "px";
  }

  function makeFrame(frame, model) {
    var element = document.createElement("iframe");
    element.className = "theme";
    element.setAttribute("sandbox", document.body.dataset.sandbox || "allow-scripts");
    element.setAttribute("scrolling", "no");
    element.title = frame.name;
    element.width = model.width;
    element.height = model.height;
    element.src = frame.src;
    return element;
  }

  function makePlaceholder(frame) {
    var element = document.createElement("div");
    element.className = "placeholder";
    element.setAttribute("role", "img");
    element.setAttribute("aria-label", frame.name + ": " + frame.note);
    var name = document.createElement("span");
    name.className = "name";
    name.textContent = frame.name;
    element.appendChild(name);
    element.appendChild(document.createTextNode(frame.note));
    return element;
  }

  // The element already shown for the frame when it still fits, else a new one.
  function elementFor(frame, model) {
    var element = shown.get(frame.key);
    if (element && frame.kind === "theme" && element.tagName === "IFRAME") {
      if (element.getAttribute("src") !== frame.src) element.src = frame.src;
      return element;
    }
    if (element && frame.kind !== "theme" &&
        element.getAttribute("aria-label") === frame.name + ": " + frame.note) {
      return element;
    }
    if (element) element.remove();
    element = frame.kind === "theme" ? makeFrame(frame, model) : makePlaceholder(frame);
    screen.appendChild(element);
    return element;
  }

  function render(model) {
    fit(model);
    screen.style.backgroundImage = model.wallpaper ? "url(\"" + model.wallpaper + "\")" : "";
    var keep = new Set();
    model.frames.forEach(function (frame, index) {
      var element = elementFor(frame, model);
      element.dataset.key = frame.key;
      element.dataset.name = frame.name;
      element.style.left = frame.x + "px";
      element.style.top = frame.y + "px";
      element.style.zIndex = String(index + 1);
      shown.set(frame.key, element);
      keep.add(frame.key);
    });
    shown.forEach(function (element, key) {
      if (!keep.has(key)) {
        element.remove();
        shown.delete(key);
      }
    });
    document.body.dataset.frames = String(model.frames.length);
  }

  function follow(current) {
    var source = new EventSource(document.body.dataset.events);
    source.addEventListener("preview", function (event) {
      var received = performance.now();
      current = JSON.parse(event.data);
      render(current);
      requestAnimationFrame(function () {
        document.dispatchEvent(new CustomEvent("preview-painted", {
          detail: { received: received, painted: performance.now() }
        }));
      });
    });
    window.addEventListener("resize", function () { fit(current); });
  }

  function start() {
    var model = JSON.parse(document.getElementById("preview-model").textContent);
    screen = document.createElement("div");
    screen.className = "lock-screen";
    clock = document.createElement("div");
    clock.className = "status-bar";
    screen.appendChild(clock);
    document.getElementById("preview").appendChild(screen);
    startClock();
    render(model);
    if (document.body.dataset.events) {
      follow(model);
    } else {
      window.addEventListener("resize", function () { fit(model); });
    }
  }

  document.addEventListener("DOMContentLoaded", start);
})();
