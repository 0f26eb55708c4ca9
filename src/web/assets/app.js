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
  // After a page change the keyboard and the screen reader start where the address points
  // (the answer to "Dlaczego pytam?") or else where the page says.
  var target = location.hash ? document.getElementById(location.hash.slice(1)) : null;
  var first = target || document.querySelector("[data-fokus]");
  if (first) first.focus();
});
