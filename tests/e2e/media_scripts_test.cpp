// Advice, graphics and sound bases driven through the terminal program by answer files:
// the loads with their data directories, the advice, pictures and sounds offered in forward
// and backward runs, unreadable files, and the file-management commands. Pictures and sounds
// go through the real decoders; sound plays through SDL's silent output.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/sample_base.h"
#include "support/temp_dir.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/path_lookup.h"

namespace zuva {
namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(ZUVA_TEST_DATA) + "/media";
using testing_support::kExamples;
const std::string kSounds = "DŹWIĘKI";

void put16(std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, unsigned v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// A 24-bit bitmap of the given size, bottom-up rows padded to four bytes.
std::string bitmap(int w, int h) {
    const unsigned row = static_cast<unsigned>((w * 3 + 3) / 4 * 4);
    const unsigned size = row * static_cast<unsigned>(h);
    std::string s = "BM";
    put32(s, 54 + size);
    put32(s, 0);
    put32(s, 54);
    put32(s, 40);
    put32(s, static_cast<unsigned>(w));
    put32(s, static_cast<unsigned>(h));
    put16(s, 1);
    put16(s, 24);
    put32(s, 0);
    put32(s, size);
    put32(s, 2835);
    put32(s, 2835);
    put32(s, 0);
    put32(s, 0);
    for (unsigned i = 0; i < size; ++i)
        s += static_cast<char>(i * 7);
    return s;
}

// A 16-bit mono wave file of silence lasting `ms` milliseconds at 8000 Hz.
std::string wave(unsigned ms) {
    const unsigned n = 8 * ms * 2;
    std::string s = "RIFF";
    put32(s, 36 + n);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);
    put16(s, 1);
    put32(s, 8000);
    put32(s, 16000);
    put16(s, 2);
    put16(s, 16);
    s += "data";
    put32(s, n);
    s += std::string(n, '\0');
    return s;
}

class MediaScript : public testing_support::TempDirTest {
  protected:
    MediaScript() : TempDirTest("zuva-media") {}
    void SetUp() override {
        TempDirTest::SetUp();
        fs::create_directories(fs::path(dir) / "BAZY");
        for (const auto& e : fs::directory_iterator(kData))
            fs::copy_file(e.path(), fs::path(dir) / "BAZY" / e.path().filename());
    }
    // Writes a file under the test directory, making its directories.
    void put(const std::string& rel, const std::string& bytes) { write(rel, bytes); }
    // The data files of the MED base: advice texts, pictures and one sound.
    void data_files() {
        put("RADY/MED/rada_b.hlp", utf8_to_cp1250_lossy("Rada dla b: zrób to, co trzeba.\nDruga linia."));
        put("RADY/MED/cicha.hlp", "cicha");
        put("RADY/MED/rada_f.hlp", "rada f");
        for (const char* n : {"plus", "plus_c", "minus", "zero", "zero_neg", "cichy", "model"})
            put(std::string("GRAFIKA/MED/") + n + ".bmp", bitmap(n == std::string("minus") ? 5 : 3, 2));
        put(kSounds + "/MED/ton.wav", wave(100));
    }
    std::string abs(const std::string& rel) const {
        return (fs::path(dir) / rel).lexically_normal().string();
    }

    int run(const std::vector<std::string>& answers) {
        std::string text;
        for (const auto& a : answers)
            text += a + "\n";
        EXPECT_TRUE(write_file_bytes(abs("BAZY/odp.txt"), text));
        std::string cmd = "cd '" + abs("BAZY") +
                          "' && SDL_AUDIODRIVER=dummy '" ZUVA_BINARY "' --answers odp.txt >out.txt 2>err.txt";
        int rc = std::system(cmd.c_str());
        out = read_file_bytes(abs("BAZY/out.txt")).value_or("");
        err = read_file_bytes(abs("BAZY/err.txt")).value_or("");
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    // Every piece must appear in the transcript, each after the one before.
    ::testing::AssertionResult in_order(const std::vector<std::string>& pieces) const {
        size_t pos = 0;
        for (const auto& p : pieces) {
            size_t at = out.find(p, pos);
            if (at == std::string::npos)
                return ::testing::AssertionFailure() << "missing after offset " << pos << ": " << p << "\n"
                                                     << out;
            pos = at + p.size();
        }
        return ::testing::AssertionSuccess();
    }
    size_t count(const std::string& needle) const {
        size_t n = 0;
        for (size_t p = out.find(needle); p != std::string::npos; p = out.find(needle, p + 1))
            ++n;
        return n;
    }

    std::string out, err;
};

const std::vector<std::string> kLoadRules = {"10064", "REMED.BEN", "Nie", "Nie"};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(MediaScript, AdviceBaseLoadsOnlyWithItsTextDirectory) {
    // No ../RADY/MED/ at all, then a directory without *.hlp files: refused both times,
    // with the name cleared, so the browsing commands stay disabled.
    EXPECT_EQ(run(kLoadRules + std::vector<std::string>{"10113", "RAMED.BEN"}), 0) << err;
    EXPECT_TRUE(
        in_order({"[open-file] Wybierz nazwę  bazy rad : \nmask: RA*.BEN\nfilter: Bazy rad (RA*.BEN) | "
                  "ra*.BEN\nanswer: RAMED.BEN\n[clear]\n",
                  "Brak kartoteki z radami ../RADY/MED/\nBazy rad nie można ładować gdy brak kartoteki z "
                  "radami.\n",
                  "[note] Uwaga błąd!\nBrak kartoteki z radami ../RADY/MED/.\nBazy rad nie można ładować "
                  "gdy brak kartoteki z radami.\n"}));
    EXPECT_EQ(count("Baza rad została załadowana"), 0u);

    put("RADY/MED/opis.txt", "nie rada");
    EXPECT_EQ(run(kLoadRules + std::vector<std::string>{"10113", "RAMED.BEN", "10114"}), 2);
    EXPECT_TRUE(in_order({"Brak kartoteki z radami ../RADY/MED/", "[error] wiersz 7"}));

    // Directory and file names in another case are found: "rady/med/RADA_B.HLP".
    fs::remove_all(fs::path(dir) / "RADY");
    put("rady/med/RADA_B.HLP", "rada");
    EXPECT_EQ(run(kLoadRules + std::vector<std::string>{"10113", "RAMED.BEN", "10114", "Nie"}), 0) << err;
    EXPECT_TRUE(
        in_order({"Baza rad RAMED.BENzostała załadowana!\n",
                  "[note] Baza rad została załadowana !\nBaza rad elementarna niepewna\n   "
                  "RAMED.BEN\nzostała załadowana.\n",
                  "[command] 10114 Przegląd nazw rad z bazy rad\n[title] zuva_EN Przegląd pliku bazy: "
                  "RAMED.BEN\n",
                  "[browse] Przegląd\nrem_rada(\"rady reguł 1 i 4\")\nrada(1,\"rada_b.hlp\")"}));
}

TEST_F(MediaScript, GraphicsAndSoundBasesNeedTheirDataDirectories) {
    EXPECT_EQ(run(kLoadRules + std::vector<std::string>{"10124", "GRMED.BEN", "10134", "DŹMED.BEN"}), 0)
        << err;
    EXPECT_TRUE(
        in_order({"Brak kartoteki z grafikami ../GRAFIKA/MED/\nBazy grafik nie można ładować gdy brak "
                  "kartoteki z grafikami.\n",
                  "[note] Uwaga błąd!\nBrak kartoteki z grafikami ../GRAFIKA/MED/.\nBazy grafiki nie "
                  "można ładować gdy brak kartoteki z grafikami.\n",
                  "Brak kartoteki z dźwiękami ../DŹWIĘKI/MED/\nBazy dźwięków nie można ładować gdy brak "
                  "kartoteki z dźwiękami.\n",
                  "[note] Uwaga błąd!\nBrak kartoteki z dźwiękami ../DŹWIĘKI/MED/.\nBazy dźwięków nie "
                  "można ładować gdy brak kartoteki z dźwiękami.\n"}));
    data_files();
    EXPECT_EQ(run(kLoadRules + std::vector<std::string>{"10124", "GRMED.BEN", "10134", "DŹMED.BEN", "10135",
                                                        "Nie", "10129", "2", "", "10139", "1", ""}),
              0)
        << err;
    EXPECT_TRUE(
        in_order({"[note] Baza grafiki została załadowana !\nBaza grafiki elementarna niepewna\n   "
                  "GRMED.BEN\nzostała załadowana.\n",
                  "[note] Baza dźwięków została załadowana !\nBaza dźwięków elementarna niepewna\n    "
                  "DŹMED.BEN\nzostała załadowana.\n",
                  "[title] Przegląd pliku bazy dźwięków: DŹMED.BEN\n", "[browse] Przegląd\ndźwięk(1,",
                  // The distinct names, each at the place of its last record.
                  "[list] Przegląd grafiki\nWybierz grafikę do obejrzenia:\n1. plus\n2. plus_c\n3. "
                  "zero\n4. cichy\n5. model\n6. minus\n7. zero_neg\nanswer: 2\n",
                  "[picture] " + abs("GRAFIKA/MED/plus_c.bmp") + "\nsize: 3 x 2\n", "[list] Przegląd grafiki",
                  "answer: \n",
                  "[list] Przesłuchanie dźwięków\nWybierz dźwięk do przesłuchania:\n1. ton\n2. "
                  "brak\nanswer: 1\n",
                  "[sound] " + abs(kSounds + "/MED/ton.wav") + "\nduration: 0.100 s\n"}));
}

// The forward run over REMED: the picture of b (CF 0.8) from grafika, of c (CF -0.6) from
// ngrafika, of d (CF 0) from grafika; e's rule has display flag 0 and offers nothing; the
// relational model's conclusion f offers its picture and sound; c's sound file is missing and
// is not offered. At the end the advice of the applied rules with display flag 1.
TEST_F(MediaScript, ForwardRunOffersPicturesSoundsAndAdvice) {
    data_files();
    const std::vector<std::string> answers =
        kLoadRules + std::vector<std::string>{"10077", "MOMED.BEN", "10113", "RAMED.BEN", "10124",
                                              "GRMED.BEN", "10134", "DŹMED.BEN", "10164", "1", "NIE", "1",
                                              // b: picture and sound
                                              "Tak", "Tak",
                                              // c: picture (minus), d: picture refused
                                              "Tak", "Nie",
                                              // f: its CF, picture and sound
                                              "0.9", "Tak", "Tak",
                                              // summary, advice, advice list twice, report
                                              "NIE", "Tak", "1", "", "Nie"};
    EXPECT_EQ(run(answers), 0) << err << out;
    const std::string q_pic =
        "[question] Wybierz:\nCzy chcesz przejrzeć dołączoną grafikę?\nbuttons: &Tak | &Nie\n";
    const std::string q_snd =
        "[question] Wybierz:\nCzy chcesz przesłuchać dołączony dźwięk?\nbuttons: &Tak | &Nie\n";
    EXPECT_TRUE(in_order(
        {"    b(0.8)", q_pic + "answer: &Tak\n[picture] " + abs("GRAFIKA/MED/plus.bmp") + "\nsize: 3 x 2\n",
         q_snd + "answer: &Tak\n[sound] " + abs(kSounds + "/MED/ton.wav") + "\nduration: 0.100 s\n",
         "    c(-0.6)", q_pic + "answer: &Tak\n[picture] " + abs("GRAFIKA/MED/minus.bmp") + "\nsize: 5 x 2\n",
         "    d(0)", q_pic + "answer: &Nie\n", "    e(0.5)", "f",
         q_pic + "answer: &Tak\n[picture] " + abs("GRAFIKA/MED/model.bmp"), q_snd + "answer: &Tak\n[sound] ",
         "[question] Możesz uzyskać radę\nChcesz uzyskać radę?\nbuttons: Tak | Nie\nanswer: Tak\n",
         "[list] Przegląd rad\nWybierz radę do przeczytania:\n1. rada_b.hlp\nanswer: 1\n",
         "[read] Czytanie rady: rada_b.hlp\nRada dla b: zrób to, co trzeba.\nDruga linia.\n",
         "[list] Przegląd rad", "answer: \n"}));
    EXPECT_EQ(count("[picture]"), 3u);
    EXPECT_EQ(count("[sound]"), 2u);
    EXPECT_EQ(out.find("cichy"), std::string::npos);
    EXPECT_EQ(out.find("zero_neg.bmp"), std::string::npos);
}

TEST_F(MediaScript, BackwardRunOffersTheHypothesisAdvicePictureAndSound) {
    data_files();
    const std::vector<std::string> answers =
        kLoadRules + std::vector<std::string>{
                         "10113", "RAMED.BEN", "10124", "GRMED.BEN", "10134", "DŹMED.BEN", "10165", "1",
                         "NIE",   "1",         "1",     "Tak",       "Tak",   "Tak",       "NIE",   "Nie"};
    EXPECT_EQ(run(answers), 0) << err << out;
    EXPECT_TRUE(
        in_order({"[list] Hipoteza w sensie wąskim", "answer: 1\n",
                  " Czy chcesz uzyskać radę?  \n[question] Wybierz:\nCzy chcesz uzyskać radę?\nbuttons: &Tak "
                  "| &Nie\nanswer: &Tak\n[read] Czytanie rady: rada_b.hlp\n",
                  "[picture] " + abs("GRAFIKA/MED/plus.bmp"), "[sound] " + abs(kSounds + "/MED/ton.wav"),
                  "[note] Uwaga!\nTeraz czas na podsumowanie!"}));
}

TEST_F(MediaScript, UnreadablePicturesAndSoundsAreReportedByName) {
    data_files();
    put("GRAFIKA/MED/zly.bmp", "BM to nie jest obraz");
    put("GRAFIKA/MED/tekst.bmp", "zwykły tekst");
    put(kSounds + "/MED/zly.wav", "RIFF....WAVEnic");
    EXPECT_EQ(
        run(kLoadRules +
            std::vector<std::string>{"10124", "GRMED.BEN", "10134", "DŹMED.BEN", "10130",
                                     "../GRAFIKA/MED/zly.bmp", "10130", "../GRAFIKA/MED/tekst.bmp", "10130",
                                     "../GRAFIKA/MED/nie_ma.bmp", "10140", "../DŹWIĘKI/MED/zly.wav"}),
        0)
        << err;
    const std::string bad = abs("GRAFIKA/MED/zly.bmp");
    EXPECT_TRUE(in_order(
        {"[open-file] Obejrzenie podkartotek i plików graficznych : \nmask: *.bmp\n",
         "[picture] " + bad + "\nerror: uszkodzona mapa bitowa BMP",
         "[note] Uwaga błąd!\nNie można wyświetlić pliku grafiki\n   " + bad + "\nuszkodzona mapa bitowa BMP",
         "[note] Uwaga błąd!\nNie można wyświetlić pliku grafiki\n   " + abs("GRAFIKA/MED/tekst.bmp") +
             "\nplik nie jest mapą bitową BMP.",
         "[note] Uwaga błąd!\nBrak pliku grafiki\n   " + abs("GRAFIKA/MED/nie_ma.bmp") + ".",
         "[open-file] Obejrzenie podkartotek lub przesłuchanie plików dźwięków \nmask: *.wav\n",
         "[sound] " + abs(kSounds + "/MED/zly.wav") +
             "\nerror: plik nie jest poprawnym plikiem "
             "dźwięku WAV",
         "[note] Uwaga błąd!\nNie można odtworzyć pliku dźwięku\n   " + abs(kSounds + "/MED/zly.wav")}));
}

TEST_F(MediaScript, RepeatedAdviceNumbersBarInference) {
    data_files();
    EXPECT_EQ(run(kLoadRules + std::vector<std::string>{"10113", "RAMED-POWT.BEN", "10164"}), 0) << err;
    EXPECT_TRUE(in_order({"W bazie rad RAMED-POWT.BEN występuje \nconajmniej dwukrotnie rada o numerze 1.",
                          "[note] Błąd bazy rad", "[command] 10164"}));
    // Inference refuses silently: no detail-level dialog follows.
    EXPECT_EQ(out.find("[radio] Poziom szczegółowości"), std::string::npos);
}

// Creating bases and advice texts, with the save dialog's question before an existing file is
// replaced and the note about the data directory; deleting files; the directory command.
TEST_F(MediaScript, FileCommandsAskAndConfirm) {
    put("BAZY/RAISTN.BEN", "rada(1,\"x\")\r\n");
    put("RADY/NOWA/inna.hlp", "inna");
    EXPECT_EQ(run({"10116",
                   "RANOWA.BEN",
                   "NIE",
                   "10116",
                   "RAISTN.BEN",
                   "Nie",
                   "",
                   "10127",
                   "GRNOWA.BEN",
                   "NIE",
                   "10137",
                   "DŹNOWA.BEN",
                   "NIE",
                   "10121",
                   "../RADY/NOWA/x.hlp",
                   "NIE",
                   "10121",
                   "../RADY/NOWA/x.hlp",
                   "Tak",
                   "NIE",
                   "10122",
                   "../RADY/NOWA/x.hlp",
                   "Nie",
                   "10122",
                   "../RADY/NOWA/x.hlp",
                   "Tak",
                   "10117",
                   "RANOWA.BEN",
                   "Tak",
                   "10120",
                   "../RADY/INNA",
                   "Tak",
                   "10120",
                   "../RADY/INNA",
                   "Tak",
                   "10131",
                   ""}),
              0)
        << err;
    EXPECT_TRUE(in_order(
        {"[save-file] Podaj nazwę nowej bazy rad\nmask: RA*.BEN\nanswer: RANOWA.BEN\n[note] Tworzenie nowej "
         "bazy "
         "rad\nNowa baza rad RANOWA.BEN została utworzona.\n[question] Tworzenie bazy rad\nCzy chcesz "
         "przejść od "
         "razu do edycji\nnowej bazy rad RANOWA.BEN ?\nbuttons: &TAK | &NIE\nanswer: &NIE\n[note] Uwaga!\nPo "
         "zapisaniu treści bazy rad możesz przystąpić\ndo tworzenia podkartoteki plików tekstowych "
         "rad.\nPodkartotekę należy umieścić w kartotece 'RADY'.\n\nW tym celu wybierz 'Baza "
         "rad'\n'Tworzenie lub "
         "kasowanie podkartoteki plików tekstowych rad'.\n",
         "answer: RAISTN.BEN\n[question] Zapisz jako\nPlik RAISTN.BEN już istnieje.\nCzy zastąpić?\nbuttons: "
         "&Tak | &Nie\nanswer: &Nie\n[save-file] Podaj nazwę nowej bazy rad\nmask: RA*.BEN\nanswer: \n"
         "[command] 10127",
         "[note] Tworzenie nowej bazy grafiki\nNowa baza grafiki GRNOWA.BEN została utworzona.\n",
         "W tym celu wybierz 'Baza grafiki'\n'Tworzenie lub kasowanie podkartoteki plików grafiki'.\n",
         "[note] Tworzenie nowej bazy dźwięku\nNowa baza dźwięku DŹNOWA.BEN została utworzona.\n[question] "
         "Tworzenie bazy melodii\n",
         "Podkartotekę należy umieścić w kartotece 'DŹWIĘKI'.\n",
         "[save-file] Podaj nazwę nowego pliku tekstowego rady\nmask: *.hlp\nanswer: "
         "../RADY/NOWA/x.hlp\n[note] "
         "Tworzenie pliku tekstowego rady\nNowy plik tekstowy rady x.hlp został utworzony.\n[question] "
         "Tworzenie "
         "pliku tekstowego rady\nCzy chcesz przejść od razu do edycji\nnowego pliku tekstowego rady x.hlp "
         "?\nbuttons: &TAK | &NIE\nanswer: &NIE\n",
         "[question] Zapisz jako\nPlik ../RADY/NOWA/x.hlp już istnieje.\nCzy zastąpić?\nbuttons: &Tak | "
         "&Nie\nanswer: &Tak\n[note] Tworzenie pliku tekstowego rady\n",
         "[question] Usunięcie pliku tekstowego rady\nCzy jesteś pewien, że chcesz usunąć plik tekstowy rady "
         "x.hlp "
         "?\nbuttons: Tak | Nie\nanswer: Nie\n",
         "answer: Tak\n[note] Uwaga!\nPlik tekstowy rady x.hlp został usunięty.\n",
         "[question] Usunięcie bazy rad\nCzy jesteś pewien, że chcesz usunąć bazę rad RANOWA.BEN ?\nbuttons: "
         "Tak | "
         "Nie\nanswer: Tak\n[note] Uwaga!\nBaza rad RANOWA.BEN została usunięta.\n",
         "[open-file] Tworzenie lub kasowanie podkartoteki plików tekstowych rad : \n",
         "[question] Tworzenie podkartoteki\nCzy utworzyć podkartotekę\n   " + abs("RADY/INNA") + " ?\n",
         "[note] Uwaga!\nPodkartoteka " + abs("RADY/INNA") + " została utworzona.\n",
         "[question] Usunięcie podkartoteki\n",
         "[note] Uwaga!\nPodkartoteka " + abs("RADY/INNA") + " została usunięta.\n",
         "[open-file] Tworzenie lub kasowanie podkartoteki plików grafiki : \n"}));
    EXPECT_EQ(read_file_bytes(abs("BAZY/RAISTN.BEN")).value_or(""), "rada(1,\"x\")\r\n");
    EXPECT_TRUE(file_exists(abs("BAZY/GRNOWA.BEN")));
    EXPECT_FALSE(file_exists(abs("BAZY/RANOWA.BEN")));
    EXPECT_FALSE(file_exists(abs("RADY/NOWA/x.hlp")));
    EXPECT_FALSE(fs::exists(abs("RADY/INNA")));
}

TEST_F(MediaScript, SampleBaseShowsItsMedia) {
    // The bundled base with its advice, graphics and sound bases: a rule-base load, the
    // three media loads and a forward run in which the battery conclusions offer pictures.
    fs::remove_all(fs::path(dir));
    fs::copy(kExamples, dir, fs::copy_options::recursive);
    EXPECT_EQ(run({"10064", "REAUTO.BEN", "Nie", "Nie", "Nie", "10113", "RAAUTO.BEN", "10124", "GRAUTO.BEN",
                   "10134", "DŹAUTO.BEN"}),
              0)
        << err;
    EXPECT_EQ(count("została załadowana !\nBaza"), 3u) << out;
    EXPECT_EQ(out.find("Brak kartoteki"), std::string::npos);
}

TEST(PathLookup, FindsNamesInAnotherCaseWithPolishLetters) {
    testing_support::TempDir temp("zuva-path");
    const std::string tmpl = temp.path();
    fs::create_directories(fs::path(tmpl) / "dźwięki" / "Auto");
    ASSERT_TRUE(write_file_bytes(tmpl + "/dźwięki/Auto/Syrena.WAV", "x"));
    fs::create_directories(fs::path(tmpl) / "BAZY");
    EXPECT_EQ(find_path_nocase(tmpl + "/BAZY", "../DŹWIĘKI/AUTO/syrena.wav"),
              tmpl + "/dźwięki/Auto/Syrena.WAV");
    // What does not exist is kept as written.
    EXPECT_EQ(find_path_nocase(tmpl + "/BAZY", "../DŹWIĘKI/INNE/x.wav"), tmpl + "/dźwięki/INNE/x.wav");
    EXPECT_EQ(files_matching_nocase(tmpl + "/dźwięki/Auto", "*.wav"), std::vector<std::string>{"Syrena.WAV"});
    EXPECT_TRUE(mask_matches_nocase("DŹ*.BEN", "dźauto.ben"));
    EXPECT_FALSE(mask_matches_nocase("*.HLP", "rada.hlp.txt"));
}

}  // namespace
}  // namespace zuva
