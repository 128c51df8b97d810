// Settings of the Clock widget. The theme settings editor offers each declaration below.
var clockColor = "#ffffff";
var showSeconds = true;
var use24Hour = false;
var fontSize = 64;
var greeting = "Good day";
