// Clicks through consultations of the sample base in chromium, as a user would, and checks
// what the page shows. Exits non-zero on the first failed check.
//   node consult.js URL CHROMIUM SCREENSHOT-DIR DOWNLOAD-DIR [before-restart|after-restart FILE]
// With a phase, only a consultation across a restart of the server: "before-restart" answers
// four questions and keeps the browser's cookies and the question it stands at in FILE;
// "after-restart" (run against the restarted server) opens the page with those cookies,
// finds the same question and finishes the consultation.
"use strict";
const { chromium } = require("playwright-core");
const fs = require("fs");
const path = require("path");

const [url, executablePath, shots, downloads, phase, phaseFile] = process.argv.slice(2);
const ANSWERS = {
  wskaznik_paliwa_na_zero: "-1", silnik_kreci_ale_nie_zapala: "-1", rozrusznik_nie_kreci: "-1",
  brak_zapachu_paliwa_przy_rozruchu: "-1", rozrusznik_kreci_wolno: "1", kontrolki_gasna_przy_rozruchu: "1",
  akumulator_starszy_niz_piec_lat: "0.5", silny_mroz: "0.8", duzy_spadek_napiecia_przy_rozruchu: "0.5",
  klemy_skorodowane_lub_luzne: "-0.5", slychac_klikanie: "-1", kontrolki_swieca_jasno_przy_rozruchu: "-1",
  brak_iskry_na_swiecy: "-1", wilgoc_na_przewodach_zaplonowych: "-1", pompa_paliwa_milczy: "-1",
  napiecie_spoczynkowe: "11.9", napiecie_podczas_rozruchu: "9.1", akumulator_rozladowany: "0.8",
};

// The members of the sample's exact constraint (the first asked, the others as follow-ups).
const EXACT = new Set(["rozrusznik_nie_kreci", "rozrusznik_kreci_wolno", "silnik_kreci_ale_nie_zapala"]);

function check(ok, what) {
  if (!ok) throw new Error("check failed: " + what);
  console.log("ok: " + what);
}

// The Windows-1250 summary as text (only the letters the sample uses matter here: ASCII).
function summaryConclusions(bytes) {
  const text = Buffer.from(bytes).toString("latin1");
  const found = {};
  for (const m of text.matchAll(/^ {4}([A-Za-z0-9_]+)\((-?[0-9.]+)\)$/gm)) found[m[1]] = Number(m[2]);
  return found;
}

async function answerAll(page, options = {}) {
  let asked = 0;
  for (;;) {
    const form = page.locator("form[data-pytanie]");
    if ((await form.count()) === 0 || (options.limit && asked >= options.limit)) return asked;
    const name = await form.getAttribute("data-pytanie");
    const value = ANSWERS[name];
    check(value !== undefined, "a question of the sample: " + name);
    asked++;
    if (asked === 1 && options.keyboard) {
      // Keyboard only: the first answer button has the focus; Tab moves to "Nie", Enter answers.
      check(await page.evaluate(() => document.activeElement.textContent === "Tak"), "the focus starts at Tak");
      await page.keyboard.press("Tab");
      check(await page.evaluate(() => document.activeElement.textContent === "Nie"), "Tab reaches Nie");
      check(value === "-1", "the first answer of the sample is Nie");
      await Promise.all([page.waitForNavigation(), page.keyboard.press("Enter")]);
      continue;
    }
    if (asked === 2 && options.why) {
      await Promise.all([page.waitForNavigation(), page.getByRole("button", { name: "Dlaczego pytam?" }).click()]);
      const why = page.locator("section.dlaczego");
      check(await why.isVisible(), "the why section is shown");
      check((await why.locator("ol.lancuch li").count()) > 0, "the why chain has links");
      check(await page.evaluate(() => document.activeElement.id === "dlaczego"), "the focus moves to the why");
      if (options.shot) await page.screenshot({ path: path.join(shots, options.shot), fullPage: true });
    }
    if (EXACT.has(name))
      check((await page.getByRole("button", { name: "Nie wiem" }).count()) === 0 && (await page.locator("#suwak").count()) === 0,
            "a member of the exact constraint is offered Tak and Nie only: " + name);
    const numeric = (await page.locator("input#wartosc").count()) > 0;
    const button = { "1": "Tak", "-1": "Nie", "0": "Nie wiem" }[value];
    if (numeric) {
      await page.getByLabel(/Wartość argumentu/).fill(value);
      await Promise.all([page.waitForNavigation(), page.getByRole("button", { name: "Odpowiedz", exact: true }).click()]);
    } else if (button) {
      await Promise.all([page.waitForNavigation(), page.getByRole("button", { name: button, exact: true }).click()]);
    } else {
      // The slider moved as a user moves it: its value set, its input event fired.
      await page.locator("#suwak").evaluate((el, v) => {
        el.value = v;
        el.dispatchEvent(new Event("input", { bubbles: true }));
      }, value);
      check((await page.locator("#suwak-wartosc").textContent()) === Number(value).toFixed(2), "the slider shows " + value);
      if (options.keyboard) {
        // Enter on the slider answers the slider's value (not the form's first button).
        await page.locator("#suwak").focus();
        await Promise.all([page.waitForNavigation(), page.keyboard.press("Enter")]);
        (options.sliders = options.sliders || []).push([name, value]);
      } else {
        await Promise.all([page.waitForNavigation(), page.getByRole("button", { name: "Odpowiedz wartością z suwaka" }).click()]);
      }
    }
    check((await page.locator("p.blad").count()) === 0, "the answer to " + name + " is taken");
  }
}

async function shownConclusions(page) {
  const rows = page.locator("ol.wnioski > li");
  const out = [];
  for (let i = 0; i < (await rows.count()); i++) {
    const name = await rows.nth(i).locator(".nazwa").textContent();
    const cf = await rows.nth(i).locator(".cf").textContent();
    out.push({ name, cf: cf.startsWith("CF = ") ? Number(cf.slice(5)) : null });
  }
  return out;
}

async function checkResults(page, label) {
  const h1 = await page.getByRole("heading", { level: 1 }).textContent();
  check(h1.startsWith("Wyniki konsultacji"), label + ": results (the page says: " + h1 + " at " + page.url() + ")");
  const shown = await shownConclusions(page);
  check(shown.length > 0, label + ": conclusions shown");
  for (let i = 1; i < shown.length; i++)
    if (shown[i].cf !== null && shown[i - 1].cf !== null)
      check(shown[i - 1].cf >= shown[i].cf, label + ": ranked by CF at " + shown[i].name);
  // The conclusions are those of the summary the page offers, with the same CFs.
  const [download] = await Promise.all([page.waitForEvent("download"), page.getByRole("link", { name: "Pobierz podsumowanie" }).click()]);
  const file = path.join(downloads, label + "-podsumowanie.txt");
  await download.saveAs(file);
  const summary = summaryConclusions(fs.readFileSync(file));
  for (const c of shown)
    if (c.cf !== null) check(Math.abs(summary[c.name] - c.cf) < 1e-4, label + ": " + c.name + " CF " + c.cf + " as in the summary");
  return shown;
}

// The question a page stands at: its name and its number ("pytanie N" of the step line).
async function standingAt(page) {
  const name = await page.locator("form[data-pytanie]").getAttribute("data-pytanie");
  const step = await page.locator("p.krok").textContent();
  return { name, step: step.match(/pytanie \d+/)[0] };
}

async function acrossRestart() {
  const browser = await chromium.launch({ executablePath, args: ["--no-sandbox"] });
  try {
    if (phase === "before-restart") {
      const context = await browser.newContext({ acceptDownloads: true, locale: "pl-PL" });
      const page = await context.newPage();
      await page.goto(url + "/");
      const auto = page.locator("section", { has: page.getByRole("heading", { name: "Baza wiedzy auto" }) });
      await Promise.all([page.waitForNavigation(), auto.getByRole("button", { name: "Wnioskowanie w przód" }).click()]);
      check((await answerAll(page, { limit: 4 })) === 4, "four answers before the restart");
      const at = await standingAt(page);
      fs.writeFileSync(phaseFile, JSON.stringify({ at, state: await context.storageState() }));
      console.log("before the restart: at " + at.name + ", " + at.step);
    } else {
      const kept = JSON.parse(fs.readFileSync(phaseFile, "utf8"));
      const context = await browser.newContext({ acceptDownloads: true, locale: "pl-PL", storageState: kept.state });
      const page = await context.newPage();
      await page.goto(url + "/konsultacja");
      const at = await standingAt(page);
      check(at.name === kept.at.name && at.step === kept.at.step,
            "after the restart the page stands at the same question: " + at.name + ", " + at.step);
      await page.screenshot({ path: path.join(shots, "web-po-restarcie.png"), fullPage: true });
      await answerAll(page);
      const shown = await checkResults(page, "restart");
      check(shown[0].name === "uszkodzony_akumulator" || shown[0].name === "naladuj_lub_wymien_akumulator",
            "the battery is the strongest conclusion after the restart");
    }
  } finally {
    await browser.close();
  }
}

(async () => {
  fs.mkdirSync(downloads, { recursive: true });
  if (phase) {
    await acrossRestart();
    console.log("browser test (" + phase + "): passed");
    return;
  }
  const browser = await chromium.launch({ executablePath, args: ["--no-sandbox"] });
  let dialogs = 0;
  try {
    // A Polish visitor: the page follows the browser's language (Chromium's own is English).
    const context = await browser.newContext({ viewport: { width: 1100, height: 900 }, acceptDownloads: true, locale: "pl-PL" });
    const page = await context.newPage();
    page.on("dialog", (d) => { dialogs++; d.dismiss(); });

    // Forward, keyboard first, with a why.
    await page.goto(url + "/");
    check((await page.getByRole("heading", { name: "Baza wiedzy auto" }).count()) === 1, "the sample base is offered");
    const auto = page.locator("section", { has: page.getByRole("heading", { name: "Baza wiedzy auto" }) });
    check((await auto.locator(".opis").textContent()).includes("samochód nie zapala"), "its description is shown");
    await Promise.all([page.waitForNavigation(), auto.getByRole("button", { name: "Wnioskowanie w przód" }).click()]);
    const keyboard = { keyboard: true, why: true, shot: "web-pytanie.png" };
    await answerAll(page, keyboard);
    const forward = await checkResults(page, "forward");
    check((keyboard.sliders || []).length > 0, "some answers were given by Enter on the slider");
    const course = await page.locator("details.raport pre").textContent();
    for (const [name, value] of keyboard.sliders)
      check(new RegExp("CF\\(" + name + "\\) = (\\S+ = )?" + value.replace(/[.-]/g, "\\$&") + "\n").test(course),
            "Enter on the slider recorded " + name + " = " + value);
    check(forward[0].name === "uszkodzony_akumulator" || forward[0].name === "naladuj_lub_wymien_akumulator",
          "the battery is the strongest conclusion");
    // The HOW tree unfolds under the conclusion.
    const first = page.locator("ol.wnioski > li").first();
    await first.getByText("Jak uzyskano wniosek?").click();
    const tree = first.locator("ul.drzewo");
    check(await tree.isVisible(), "the HOW tree unfolds");
    check((await tree.locator("li").count()) > 2, "the HOW tree has branches");
    check((await tree.textContent()).includes("rozrusznik_kreci_wolno"), "the HOW tree reaches the answers");
    // Beside the text tree, the same tree as a picture the server draws.
    const how = first.locator(".jak-rysunek img");
    check(await how.isVisible(), "the HOW picture is shown under the text tree");
    check(await how.evaluate((i) => i.complete ? i.naturalWidth > 0 : new Promise((done) => {
      i.onload = () => done(i.naturalWidth > 0);
      i.onerror = () => done(false);
    })), "the HOW picture loads");
    const img = page.locator("figure img").first();
    check(await img.evaluate((i) => i.complete && i.naturalWidth > 0), "the picture is shown");
    check((await page.locator("audio").count()) >= 0, "sounds are audio elements");
    await page.screenshot({ path: path.join(shots, "web-wyniki.png"), fullPage: true });

    // Backward, from the result page.
    await Promise.all([page.waitForNavigation(), page.getByRole("button", { name: "Nowa konsultacja" }).click()]);
    await auto.getByLabel("Hipoteza do sprawdzenia").selectOption("naladuj_lub_wymien_akumulator");
    await Promise.all([page.waitForNavigation(), auto.getByRole("button", { name: "Wnioskowanie wstecz" }).click()]);
    await answerAll(page);
    const backward = await checkResults(page, "backward");
    check(backward.some((c) => c.name === "naladuj_lub_wymien_akumulator" && c.cf > 0.9), "the hypothesis is confirmed");
    check((await page.locator("p.krok").textContent()).includes("hipoteza naladuj_lub_wymien_akumulator"), "the hypothesis is named");

    // Two tabs of one browser: a restart in the second ends the first's consultation, and an
    // answer from the first is refused with the second's question shown.
    await page.goto(url + "/");
    await Promise.all([page.waitForNavigation(), auto.getByRole("button", { name: "Wnioskowanie w przód" }).click()]);
    const other = await context.newPage();
    await other.goto(url + "/");
    const oauto = other.locator("section", { has: other.getByRole("heading", { name: "Baza wiedzy auto" }) });
    await oauto.getByLabel("Hipoteza do sprawdzenia").selectOption("naladuj_lub_wymien_akumulator");
    await Promise.all([other.waitForNavigation(), oauto.getByRole("button", { name: "Wnioskowanie wstecz" }).click()]);
    const asked = await other.locator("form[data-pytanie]").getAttribute("data-pytanie");
    await Promise.all([page.waitForNavigation(), page.getByRole("button", { name: "Tak", exact: true }).click()]);
    check((await page.locator("p.blad").textContent()).includes("innej konsultacji"), "the first tab's answer is refused");
    check((await page.locator("form[data-pytanie]").getAttribute("data-pytanie")) === asked, "the second tab's question is shown");
    check((await page.locator("p.krok").textContent()).includes("pytanie 1"), "nothing was recorded");
    await other.close();

    // A base whose texts are markup: shown as text, nothing runs.
    await page.goto(url + "/");
    const evil = page.locator("section", { has: page.getByRole("heading", { name: "Baza wiedzy zle" }) });
    check((await evil.locator(".opis").textContent()).includes("<img src=x onerror=alert(2)>"), "the description is text");
    await Promise.all([page.waitForNavigation(), evil.getByRole("button", { name: "Wnioskowanie w przód" }).click()]);
    check((await page.locator(".pytanie-nazwa").textContent()) === "<script>alert(1)</script>", "the condition is shown as text");
    await Promise.all([page.waitForNavigation(), page.getByRole("button", { name: "Tak", exact: true }).click()]);
    check((await page.locator("ol.wnioski .nazwa").first().textContent()) === "wynik", "its result");
    check(dialogs === 0, "no script of a base ran");
    await context.close();

    // A phone.
    const phone = await browser.newContext({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true, locale: "pl-PL" });
    const p = await phone.newPage();
    await p.goto(url + "/");
    const pauto = p.locator("section", { has: p.getByRole("heading", { name: "Baza wiedzy auto" }) });
    await Promise.all([p.waitForNavigation(), pauto.getByRole("button", { name: "Wnioskowanie w przód" }).click()]);
    await Promise.all([p.waitForNavigation(), p.getByRole("button", { name: "Nie", exact: true }).click()]);
    check(await p.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth), "no sideways scrolling on a phone");
    await p.screenshot({ path: path.join(shots, "web-telefon.png") });
    // Long names wrap on every page: the list, each question, the results.
    const fits = async (what) =>
      check(await p.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth), "no sideways scrolling: " + what);
    await p.goto(url + "/");
    await fits("the list of bases with long names");
    const plong = p.locator("section", { has: p.getByRole("heading", { name: "Baza wiedzy dlugie" }) });
    await Promise.all([p.waitForNavigation(), plong.getByRole("button", { name: "Wnioskowanie w przód" }).click()]);
    await fits("a question about a 72-character condition");
    await Promise.all([p.waitForNavigation(), p.getByRole("button", { name: "Tak", exact: true }).click()]);
    check((await p.locator(".pytanie-nazwa").textContent()).length > 5000, "the 5,000-character condition is asked");
    await fits("a question about a 5,000-character condition");
    await Promise.all([p.waitForNavigation(), p.getByRole("button", { name: "Tak", exact: true }).click()]);
    await p.evaluate(() => document.querySelectorAll("details").forEach((d) => { d.open = true; }));
    await fits("the results with a 75-character conclusion, every part unfolded");
    await p.screenshot({ path: path.join(shots, "web-telefon-dlugie.png"), fullPage: true });
    await phone.close();
  } finally {
    await browser.close();
  }
  console.log("browser test: passed");
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
