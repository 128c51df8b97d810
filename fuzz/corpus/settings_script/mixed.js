var clockColor = "#ff7a00";
var showSeconds = true; // shown
/* var hidden = 1; */
var greeting = "Good day" + name = x;
var broken
var size = 64;