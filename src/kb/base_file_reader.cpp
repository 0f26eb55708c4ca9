// A hand-written single-pass parser: the table name is read first (up to the first
// '(' ')' ',' or ']'), looked up in the kind's schema, and the fields are read by type.
#include "kb/base_file_reader.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <unordered_map>

#include "session/session.h"
#include "text/codec.h"
#include "text/file_io.h"
#include "text/i18n.h"
#include "text/number_format.h"
#include "text/pieces.h"

namespace zuva {
namespace {

using Fields = std::vector<Value>;
using Sink = std::function<void(void* target, Fields&&, std::string_view table)>;

struct TableSpec {
    std::vector<FieldType> types;
    Sink sink;
};
using Schema = std::unordered_map<std::string_view, TableSpec>;

std::int32_t I(Fields& f, size_t i) {
    return std::get<std::int32_t>(f[i]);
}
std::string T(Fields& f, size_t i) {
    return std::move(std::get<std::string>(f[i]));
}
TextList TL(Fields& f, size_t i) {
    return std::move(std::get<TextList>(f[i]));
}

constexpr FieldType kI = FieldType::Int, kR = FieldType::Real, kT = FieldType::Text, kTL = FieldType::TextLst,
                    kIL = FieldType::IntLst;

KnowledgeBase& KB(void* t) {
    return *static_cast<KnowledgeBase*>(t);
}

// Adds a main table with its disabled twin `_name` and, unless given, its comment table
// `rem_name` of one text; the twins go to the group's inactive records.
void add(Schema& s, const char* name, std::vector<FieldType> types, Sink sink,
         std::function<InactiveRecords&(void*)> inactive, std::vector<FieldType> rem_types = {kT}) {
    static std::deque<std::string> names;  // stable storage: the schema keys are views into it
    s[name] = {types, std::move(sink)};
    auto keep = [inactive](void* t, Fields&& f, std::string_view table) {
        inactive(t).push_back({std::string(table), std::move(f)});
    };
    names.push_back(std::string("_") + name);
    s[names.back()] = {types, keep};
    names.push_back(std::string("rem_") + name);
    s[names.back()] = {rem_types, keep};
}

Schema make_schema(BaseKind kind) {
    Schema s;
    switch (kind) {
        case BaseKind::Rules: {
            auto in = [](void* t) -> InactiveRecords& { return KB(t).rules.inactive; };
            add(
                s, "reguła", {kI, kT, kTL, kI, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).rules.regula.append({I(f, 0), T(f, 1), TL(f, 2), I(f, 3), T(f, 4)});
                },
                in);
            add(
                s, "reguła_dysjunktywna", {kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).rules.regula_dysjunktywna.append({T(f, 0)});
                },
                in);
            add(
                s, "fakt", {kT, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).rules.fakt.append({T(f, 0), T(f, 1)});
                },
                in);
            break;
        }
        case BaseKind::Models: {
            auto in = [](void* t) -> InactiveRecords& { return KB(t).models.inactive; };
            add(
                s, "model", {kI, kT, kT, kT, kT, kT, kI, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).models.model.append(
                        {I(f, 0), T(f, 1), T(f, 2), T(f, 3), T(f, 4), T(f, 5), I(f, 6), T(f, 7)});
                },
                in);
            add(
                s, "model_r", {kI, kT, kT, kT, kTL, kI, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).models.model_r.append(
                        {I(f, 0), T(f, 1), T(f, 2), T(f, 3), TL(f, 4), I(f, 5), T(f, 6)});
                },
                in);
            add(
                s, "model_liniowy", {kI, kT, kT, kTL, kTL, kI, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).models.model_liniowy.append(
                        {I(f, 0), T(f, 1), T(f, 2), TL(f, 3), TL(f, 4), I(f, 5), T(f, 6)});
                },
                in);
            add(
                s, "model_wielomianowy", {kI, kT, kT, kT, kTL, kIL, kI, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).models.model_wielomianowy.append({I(f, 0), T(f, 1), T(f, 2), T(f, 3), TL(f, 4),
                                                            std::move(std::get<IntList>(f[5])), I(f, 6),
                                                            T(f, 7)});
                },
                in);
            add(
                s, "m_fakt", {kT, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).models.m_fakt.append({T(f, 0), T(f, 1)});
                },
                in);
            add(
                s, "argument_znany", {kT, kR},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).models.argument_znany.append({T(f, 0), std::get<double>(f[1])});
                },
                in);
            add(
                s, "arg_dopyt", {kT},
                [](void* t, Fields&& f, std::string_view) { KB(t).models.arg_dopyt.append({T(f, 0)}); }, in);
            add(s, "modele_ekskluzywne", {kTL},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).models.modele_ekskluzywne.append({TL(f, 0)});
                },
                in, {kTL});
            add(
                s, "nazwa_pliku_war_arg", {kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).models.nazwa_pliku_war_arg.append(T(f, 0));
                },
                in);
            break;
        }
        case BaseKind::ExactConstraints: {
            auto in = [](void* t) -> InactiveRecords& { return KB(t).exact.inactive; };
            add(s, "ograniczenie", {kI, kTL},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).exact.ograniczenie.append({I(f, 0), TL(f, 1)});
                },
                in, {kI, kTL});
            break;
        }
        case BaseKind::UncertainConstraints: {
            auto in = [](void* t) -> InactiveRecords& { return KB(t).uncertain.inactive; };
            add(
                s, "ograniczenie_n", {kI, kTL},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).uncertain.ograniczenie_n.append({I(f, 0), TL(f, 1)});
                },
                in);
            break;
        }
        case BaseKind::Advice: {
            auto in = [](void* t) -> InactiveRecords& { return KB(t).advice.inactive; };
            add(
                s, "rada", {kI, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).advice.rada.append({I(f, 0), T(f, 1)});
                },
                in);
            break;
        }
        case BaseKind::Graphics: {
            auto in = [](void* t) -> InactiveRecords& { return KB(t).graphics.inactive; };
            add(
                s, "grafika", {kI, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).graphics.grafika.append({I(f, 0), T(f, 1)});
                },
                in);
            add(
                s, "ngrafika", {kI, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).graphics.ngrafika.append({I(f, 0), T(f, 1)});
                },
                in);
            break;
        }
        case BaseKind::Sounds: {
            auto in = [](void* t) -> InactiveRecords& { return KB(t).sounds.inactive; };
            add(
                s, "dźwięk", {kI, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).sounds.dzwiek.append({I(f, 0), T(f, 1)});
                },
                in);
            add(
                s, "ndźwięk", {kI, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).sounds.ndzwiek.append({I(f, 0), T(f, 1)});
                },
                in);
            break;
        }
        case BaseKind::Texts: {
            auto in = [](void* t) -> InactiveRecords& { return KB(t).texts.inactive; };
            add(
                s, "tekst", {kT, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).texts.tekst.append({T(f, 0), T(f, 1)});
                },
                in);
            add(
                s, "pomoc", {kT, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).texts.pomoc.append({T(f, 0), T(f, 1)});
                },
                in);
            add(
                s, "tekst_w_języku", {kT, kT, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).texts.tekst_w_jezyku.append({T(f, 0), T(f, 1), T(f, 2)});
                },
                in);
            add(
                s, "pomoc_w_języku", {kT, kT, kT},
                [](void* t, Fields&& f, std::string_view) {
                    KB(t).texts.pomoc_w_jezyku.append({T(f, 0), T(f, 1), T(f, 2)});
                },
                in);
            break;
        }
        case BaseKind::Report:
            s["tekst_raportu"] = {{kT}, [](void* t, Fields&& f, std::string_view) {
                                      static_cast<ReportGroup*>(t)->tekst_raportu.append(T(f, 0));
                                  }};
            break;
    }
    return s;
}

const Schema& schema_for(BaseKind kind) {
    static const Schema schemas[] = {make_schema(BaseKind::Rules),
                                     make_schema(BaseKind::Models),
                                     make_schema(BaseKind::ExactConstraints),
                                     make_schema(BaseKind::UncertainConstraints),
                                     make_schema(BaseKind::Advice),
                                     make_schema(BaseKind::Graphics),
                                     make_schema(BaseKind::Sounds),
                                     make_schema(BaseKind::Report),
                                     make_schema(BaseKind::Texts)};
    return schemas[static_cast<int>(kind)];
}

// Parser of one line; `pos` is a byte offset into the line.
struct LineParser {
    std::string_view line;
    size_t pos = 0;
    int code = 0;
    size_t err_pos = 0;

    bool fail(int c, size_t at) {
        code = c;
        err_pos = at;
        return false;
    }
    void blanks() {
        while (pos < line.size() && line[pos] == ' ')
            ++pos;
    }
    bool at(char c) const { return pos < line.size() && line[pos] == c; }
    static bool digit(char c) { return c >= '0' && c <= '9'; }

    bool integer(std::int32_t& out) {
        size_t start = pos;
        bool neg = false;
        if (at('-')) {
            neg = true;
            ++pos;
        }
        int base = 10;
        if (pos + 1 < line.size() && line[pos] == '0' &&
            (line[pos + 1] == 'x' || line[pos + 1] == 'X' || line[pos + 1] == 'o' || line[pos + 1] == 'O')) {
            base = (line[pos + 1] == 'x' || line[pos + 1] == 'X') ? 16 : 8;
            pos += 2;
        }
        unsigned long long v = 0;
        size_t digits = 0;
        bool overflow = false;
        while (pos < line.size()) {
            char c = line[pos];
            int d = -1;
            if (digit(c))
                d = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            if (d < 0 || d >= base) break;
            v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
            if (v > 0x80000000ULL) overflow = true;
            ++digits;
            ++pos;
        }
        if (digits == 0) return fail(kErrInteger, start);
        if (overflow || (!neg && v > 0x7FFFFFFFULL)) return fail(kErrIntRange, start);
        out = neg ? static_cast<std::int32_t>(-static_cast<long long>(v)) : static_cast<std::int32_t>(v);
        return true;
    }

    bool real(double& out) {
        size_t start = pos;
        if (at('-')) ++pos;
        size_t digits = 0;
        while (pos < line.size() && digit(line[pos]))
            ++pos, ++digits;
        if (digits == 0) return fail(kErrReal, start);
        if (at('.')) {
            ++pos;
            while (pos < line.size() && digit(line[pos]))
                ++pos;
        }
        if (at('e') || at('E')) {
            size_t e = pos++;
            if (at('-') || at('+')) ++pos;
            size_t ed = 0;
            while (pos < line.size() && digit(line[pos]))
                ++pos, ++ed;
            if (ed == 0) return fail(kErrReal, e);
        }
        out = *parse_real(line.substr(start, pos - start));
        return true;
    }

    bool text(std::string& out) {
        if (!at('"')) return fail(kErrText, pos);
        ++pos;
        out.clear();
        while (pos < line.size()) {
            // The plain characters up to the next quote or backslash, in one piece.
            size_t run = pos;
            while (run < line.size() && line[run] != '"' && line[run] != '\\')
                ++run;
            out.append(line.data() + pos, run - pos);
            pos = run;
            if (pos == line.size()) break;
            char c = line[pos];
            if (c == '"') {
                ++pos;
                return true;
            }
            if (c == '\\' && pos + 1 < line.size()) {
                char n = line[pos + 1];
                if (n == 'n' || n == 'r' || n == '\\' || n == '"') {
                    out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
                    pos += 2;
                    continue;
                }
            }
            out += c;
            ++pos;
        }
        return true;  // the text ends with the line; the record then lacks its ')'
    }

    template <class Elem, class ReadElem>
    bool list(std::vector<Elem>& out, ReadElem read) {
        if (!at('[')) return fail(kErrListStart, pos);
        ++pos;
        blanks();
        if (at(']')) {
            ++pos;
            return true;
        }
        for (;;) {
            blanks();
            Elem e{};
            if (!read(e)) return false;
            out.push_back(std::move(e));
            blanks();
            if (at(',')) {
                ++pos;
                continue;
            }
            if (at(']')) {
                ++pos;
                return true;
            }
            return fail(kErrListElement, pos);
        }
    }

    bool field(FieldType t, Value& v) {
        switch (t) {
            case FieldType::Int: {
                std::int32_t i = 0;
                if (!integer(i)) return false;
                v = i;
                return true;
            }
            case FieldType::Real: {
                double d = 0;
                if (!real(d)) return false;
                v = d;
                return true;
            }
            case FieldType::Text: {
                std::string s;
                if (!text(s)) return false;
                v = std::move(s);
                return true;
            }
            case FieldType::TextLst: {
                TextList l;
                if (!list(l, [this](std::string& e) { return text(e); })) return false;
                v = std::move(l);
                return true;
            }
            case FieldType::IntLst: {
                IntList l;
                if (!list(l, [this](std::int32_t& e) { return integer(e); })) return false;
                v = std::move(l);
                return true;
            }
            case FieldType::TextLstLst: {
                TextListList l;
                if (!list(l, [this](TextList& e) {
                        return list(e, [this](std::string& x) { return text(x); });
                    }))
                    return false;
                v = std::move(l);
                return true;
            }
        }
        return false;
    }
};

// `line_out`, when given, holds the number of the line whose record is handed to a sink.
std::optional<ReadError> parse_text(const Schema& schema, void* target, std::string_view text,
                                    int* line_out = nullptr) {
    size_t start = 0;
    int line_no = 0;
    Fields fields;
    while (start < text.size()) {
        // A line ends at CR LF, LF or CR alone.
        size_t nl = start;
        while (nl < text.size() && text[nl] != '\n' && text[nl] != '\r')
            ++nl;
        if (nl == text.size()) nl = std::string_view::npos;
        size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::string_view line = text.substr(start, end - start);
        if (nl == std::string_view::npos)
            start = text.size();
        else
            start = text[nl] == '\r' && nl + 1 < text.size() && text[nl + 1] == '\n' ? nl + 2 : nl + 1;
        ++line_no;

        LineParser p{line};
        auto error = [&](int code, size_t at) {
            return ReadError{code, line_no, std::string(line), static_cast<int>(utf8_columns(line, at)), {}};
        };
        p.blanks();
        size_t name_start = p.pos;
        while (p.pos < line.size() && line[p.pos] != '(' && line[p.pos] != ')' && line[p.pos] != ',' &&
               line[p.pos] != ']')
            ++p.pos;
        std::string_view name = line.substr(name_start, p.pos - name_start);
        auto it = schema.find(name);
        if (it == schema.end()) return error(kErrTableName, p.pos);
        if (!p.at('(')) return error(kErrOpenParen, p.pos);
        ++p.pos;
        const TableSpec& table = it->second;
        fields.clear();
        fields.resize(table.types.size());
        for (size_t i = 0; i < table.types.size(); ++i) {
            p.blanks();
            if (!p.field(table.types[i], fields[i])) return error(p.code, p.err_pos);
            p.blanks();
            char want = i + 1 < table.types.size() ? ',' : ')';
            if (!p.at(want)) return error(kErrFieldEnd, p.pos);
            ++p.pos;
        }
        p.blanks();
        if (p.pos != line.size()) return error(kErrTrailing, p.pos);
        if (line_out) *line_out = line_no;
        table.sink(target, std::move(fields), name);
    }
    return std::nullopt;
}

// A rule base holds about one rule a line: room for them all at once, instead of growing
// the table by doubling (which leaves up to half of it unused and copies it on the way).
void reserve_rules(KnowledgeBase& kb, BaseKind kind, std::string_view text) {
    if (kind != BaseKind::Rules) return;
    const std::size_t lines = count_newlines(text) + 1;
    kb.rules.regula.reserve(kb.rules.regula.count() + lines);
}

std::optional<ReadError> read_into(const std::string& path, const Schema& schema, void* target,
                                   const std::function<void(std::string_view)>& before = {}) {
    auto bytes = read_file_bytes(path);
    if (!bytes) return ReadError{kErrCannotOpen, 0, {}, 0, tr("Nie można odczytać pliku ") + path + "."};
    CodecError cerr;
    // The bytes are handed over (ASCII and UTF-8 files are their own text) and, once
    // converted, dropped before the records are made: the file is not held twice while the
    // base is read.
    auto text = take_file_text(std::move(*bytes), &cerr);
    if (!text) {
        // Locate the line of the offending byte for the message.
        int line = 1;
        for (size_t i = 0; i < cerr.byte_offset && i < bytes->size(); ++i)
            if ((*bytes)[i] == '\n') ++line;
        return ReadError{kErrEncoding,
                         line,
                         {},
                         0,
                         tr("Plik ") + path + tr(" zawiera w wierszu ") + std::to_string(line) +
                             tr(" bajt, który nie jest znakiem strony kodowej Windows-1250.")};
    }
    bytes.reset();
    if (before) before(*text);
    return parse_text(schema, target, *text);
}

}  // namespace

std::optional<std::size_t> field_count(BaseKind kind, std::string_view table) {
    const Schema& schema = schema_for(kind);
    auto it = schema.find(table);
    if (it == schema.end()) return std::nullopt;
    return it->second.types.size();
}

std::optional<ReadError> parse_base_text(KnowledgeBase& kb, BaseKind kind, std::string_view text) {
    reserve_rules(kb, kind, text);
    return parse_text(schema_for(kind), &kb, text);
}

std::optional<ReadError> parse_report_text(ReportGroup& group, std::string_view text) {
    return parse_text(schema_for(BaseKind::Report), &group, text);
}

std::optional<ReadError> parse_records(std::string_view text, const std::vector<RecordTable>& tables,
                                       const RecordSink& sink) {
    Schema schema;
    int line = 0;
    for (const auto& t : tables)
        schema[t.name] = {
            t.types, [&](void*, Fields&& f, std::string_view table) { sink(table, std::move(f), line); }};
    return parse_text(schema, nullptr, text, &line);
}

std::optional<ReadError> parse_base_records(BaseKind kind, std::string_view text, const RecordSink& sink) {
    Schema schema = schema_for(kind);
    int line = 0;
    for (auto& [name, layout] : schema)
        layout.sink = [&](void*, Fields&& f, std::string_view table) { sink(table, std::move(f), line); };
    return parse_text(schema, nullptr, text, &line);
}

std::vector<std::string> table_names(BaseKind kind) {
    std::vector<std::string> out;
    for (const auto& [name, layout] : schema_for(kind))
        if (!name.starts_with("_")) out.emplace_back(name);
    std::sort(out.begin(), out.end());
    return out;
}

std::optional<ReadError> read_base_file(Session& s, BaseKind kind, const std::string& full_path) {
    if (auto held = s.unsaved_texts.find(full_path); held != s.unsaved_texts.end()) {
        reserve_rules(s.kb, kind, held->second);
        return parse_text(schema_for(kind), &s.kb, held->second);
    }
    return read_into(full_path, schema_for(kind), &s.kb,
                     [&](std::string_view text) { reserve_rules(s.kb, kind, text); });
}

std::optional<ReadError> read_report_file(const std::string& full_path, ReportGroup& group) {
    return read_into(full_path, schema_for(BaseKind::Report), &group);
}

}  // namespace zuva
