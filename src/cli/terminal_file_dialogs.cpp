// The terminal port's file dialogs: the files of a folder under a mask, numbered; a number,
// a name or a path typed; folders entered; an existing file replaced only on "Tak".
#include <algorithm>
#include <filesystem>

#include "cli/terminal_support.h"
#include "cli/terminal_ui.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "ui/file_names.h"

namespace zuva {

using namespace terminal;

namespace {

std::vector<std::string> files_matching(const std::string& dir, std::string_view mask) {
    std::vector<std::string> names;
    std::string lmask = to_lower_pl(mask);
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        std::error_code ec2;
        if (!e.is_regular_file(ec2)) continue;
        std::string n = e.path().filename().string();
        if (mask_match(lmask, to_lower_pl(n))) names.push_back(n);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

bool mask_match(std::string_view mask, std::string_view name) {
    // Greedy with one point of return: a '*' first takes nothing, and when the rest fails
    // to match, the most recent '*' takes one character more. Time is at most the product
    // of the lengths, never exponential.
    auto char_len = [&](std::size_t at) {
        std::size_t len = 1;
        while (at + len < name.size() && (static_cast<unsigned char>(name[at + len]) & 0xC0) == 0x80)
            ++len;
        return len;
    };
    constexpr std::size_t kNone = std::string_view::npos;
    std::size_t m = 0, n = 0, star = kNone, resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            star = ++m;
            resume = n;
        } else if (m < mask.size() && mask[m] == '?') {
            ++m;
            n += char_len(n);
        } else if (m < mask.size() && mask[m] == name[n]) {
            ++m;
            ++n;
        } else if (star != kNone) {
            m = star;
            resume += char_len(resume);
            n = resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

namespace {

std::vector<std::string> subdirectories(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        std::error_code ec2;
        if (e.is_directory(ec2)) names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::string TerminalUi::file_prompt(bool save, std::string_view mask, const std::vector<FileFilter>& filters,
                                    std::string_view title) {
    heading(save ? tr("Zapis pliku") : tr("Wybór pliku"), title);
    std::string dir = current_dir();
    std::string shown_mask(mask);
    for (;;) {
        std::vector<std::string> files = files_matching(dir, shown_mask);
        std::vector<std::string> dirs = subdirectories(dir);
        print(tr("Katalog: ") + dir);
        std::string m = tr("Maska: ") + shown_mask;
        for (const auto& f : filters)
            if (f.mask != shown_mask) m += "   (" + f.description + ")";
        print(m);
        if (files.empty()) {
            hint(tr("Brak plików pasujących do maski w tym katalogu."));
        } else {
            std::vector<std::string> lines;
            for (size_t i = 0; i < files.size(); ++i)
                lines.push_back("  " + std::to_string(i + 1) + ") " + files[i]);
            page(lines);
        }
        if (!dirs.empty()) {
            std::string d = tr("Podkatalogi:");
            for (const auto& n : dirs)
                d += " " + n + "/";
            hint(d);
        }
        // A name without an extension gets the mask's, so that it shows under the mask later.
        if (save && !mask_extension(shown_mask).empty())
            hint(tr("Nazwa bez rozszerzenia dostaje rozszerzenie ") + mask_extension(shown_mask) +
                 tr(" (np. WYNIK -> WYNIK") + mask_extension(shown_mask) + ").");
        completion_dir_ = dir;
        std::string a =
            trim(ask(save ? tr("Podaj nazwę pliku (katalog: przejście do niego, pusty wiersz: anuluj):")
                          : tr("Podaj numer pliku lub ścieżkę (katalog: przejście do niego, pusty "
                               "wiersz: anuluj):")));
        completion_dir_.clear();
        if (a.empty()) return "";
        int pos = 0;
        if (parse_number(a, pos) && pos >= 1 && pos <= static_cast<int>(files.size()))
            return resolve_path(dir, files[pos - 1]);
        std::string path = resolve_path(dir, a);
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            dir = path;
            continue;
        }
        if (a.find_first_of("*?") != std::string::npos) {
            shown_mask = a;
            continue;
        }
        if (!save && !file_exists(path)) {
            hint(tr("Nie ma pliku ") + path + tr(". Podaj inny albo pusty wiersz, aby anulować."));
            continue;
        }
        return save ? with_mask_extension(path, shown_mask) : path;
    }
}

std::string TerminalUi::open_file(std::string_view mask, const std::vector<FileFilter>& filters,
                                  std::string_view title) {
    return file_prompt(false, mask, filters, title);
}

// Replacing an existing file takes a "Tak"; "Nie" shows the dialog again.
std::string TerminalUi::save_file(std::string_view mask, const std::vector<FileFilter>& filters,
                                  std::string_view title) {
    for (;;) {
        std::string path = file_prompt(true, mask, filters, title);
        if (path.empty() || !file_exists(path)) return path;
        if (question(tr("Zapisz jako"), overwrite_question(path), {tr("&Tak"), tr("&Nie")}) == 0) return path;
    }
}

std::string TerminalUi::save_file_unchecked(std::string_view mask, const std::vector<FileFilter>& filters,
                                            std::string_view title) {
    return file_prompt(true, mask, filters, title);
}

}  // namespace zuva
