var t = "café “x”";
