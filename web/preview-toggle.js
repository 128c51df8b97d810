// The lock-screen preview beside the settings: always shown on wide screens; on narrow ones
// behind the Preview button, which then turns into the way back to the settings.
"use strict";

(function () {
  var words = {
    en: { show: "Preview", hide: "Settings", label: "Lock screen preview" },
    de: { show: "Vorschau", hide: "Einstellungen", label: "Vorschau des Sperrbildschirms" }
  };

  function start() {
    var button = document.getElementById("preview-button");
    var pane = document.getElementById("preview-pane");
    if (!button || !pane) return;
    var text = words[document.documentElement.lang] || words.en;
    pane.setAttribute("aria-label", text.label);
    document.getElementById("preview-frame").title = text.label;

    function show(open) {
      document.body.classList.toggle("preview-open", open);
      button.setAttribute("aria-expanded", open ? "true" : "false");
      button.textContent = open ? text.hide : text.show;
    }

    show(false);
    button.addEventListener("click", function () {
      show(!document.body.classList.contains("preview-open"));
    });
    // Escape closes the preview before it means "back" to the pages.
    window.addEventListener("keydown", function (event) {
      if (event.key !== "Escape" || !document.body.classList.contains("preview-open")) return;
      event.stopPropagation();
      event.preventDefault();
      show(false);
      button.focus();
    }, true);
  }

  document.addEventListener("DOMContentLoaded", start);
})();
