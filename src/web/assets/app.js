// Small helps of the page; everything works without them (plain forms).
"use strict";
document.addEventListener("DOMContentLoaded", function () {
  // The slider's value is shown beside it as it moves.
  document.querySelectorAll("input[type=range][data-wyjscie]").forEach(function (range) {
    var out = document.getElementById(range.getAttribute("data-wyjscie"));
    var show = function () { out.value = Number(range.value).toFixed(2); };
    range.addEventListener("input", show);
    show();
  });
  // After a page change the keyboard and the screen reader start where the page says.
  var first = document.querySelector("[data-fokus]");
  if (first) first.focus();
});
