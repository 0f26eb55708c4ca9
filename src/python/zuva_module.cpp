// The Python module `zuva`: the session API for Python. Knowledge bases, consultations that
// iterate over their questions, results as Python values; the program's errors as
// zuva.Error with its message (and file and line for a base file). The core runs with the
// GIL released.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "python/zuva_bindings.h"
#include "text/i18n.h"
#include "zuva/zuva.h"

namespace py = pybind11;
using namespace zuva::api;
using zuva::tr;

namespace {

const char* kind_name(QuestionKind k) {
    switch (k) {
        case QuestionKind::ConditionCf:
            return "condition_cf";
        case QuestionKind::ConclusionCf:
            return "conclusion_cf";
        case QuestionKind::ArgumentValue:
            return "argument_value";
        case QuestionKind::Choice:
            return "choice";
        case QuestionKind::Radio:
            return "radio";
        case QuestionKind::List:
            return "list";
        case QuestionKind::MultiList:
            return "multi_list";
        case QuestionKind::Text:
            return "text";
    }
    return "text";
}

const char* level_name(Finding::Level l) {
    switch (l) {
        case Finding::Level::Error:
            return "error";
        case Finding::Level::Warning:
            return "warning";
        case Finding::Level::Note:
            return "note";
    }
    return "note";
}

// Rows to import: (kind, name, value) sequences, or dicts with those keys; a value may be a
// number.
std::vector<ImportedRow> rows_of(const py::iterable& rows) {
    std::vector<ImportedRow> out;
    auto text = [](const py::handle& v) { return py::str(v).cast<std::string>(); };
    for (const auto& r : rows) {
        if (py::isinstance<py::dict>(r)) {
            const auto d = r.cast<py::dict>();
            out.push_back({text(d["kind"]), text(d["name"]), text(d["value"])});
        } else {
            const auto t = py::tuple(py::reinterpret_borrow<py::object>(r));
            if (t.size() != 3) throw py::value_error(tr("wiersz importu to (rodzaj, nazwa, wartość)"));
            out.push_back({text(t[0]), text(t[1]), text(t[2])});
        }
    }
    return out;
}

Options options_of(int detail, const std::vector<std::string>& labels, int hypothesis_type,
                   const py::iterable& imported = py::list(), bool ask_labels = false) {
    Options o;
    o.detail = detail;
    o.labels = labels;
    o.hypothesis_type = hypothesis_type;
    o.imported = rows_of(imported);
    o.ask_labels = ask_labels;
    return o;
}

// Answers the pending question with a Python value: a str as typed, a position (int) for a
// choice, radio or list, a number for a CF or a value.
void answer(Consultation& c, const py::object& value) {
    if (py::isinstance<py::str>(value)) {
        const std::string text = value.cast<std::string>();
        py::gil_scoped_release release;
        c.answer(text);
        return;
    }
    if (py::isinstance<py::bool_>(value))
        throw py::type_error(tr("odpowiedź nie może być wartością logiczną"));
    if (py::isinstance<py::int_>(value)) {
        const long long n = value.cast<long long>();
        py::gil_scoped_release release;
        auto q = c.next();
        if (q && (q->kind == QuestionKind::Choice || q->kind == QuestionKind::Radio ||
                  q->kind == QuestionKind::List))
            c.choose(static_cast<int>(n));
        else
            c.answer(static_cast<double>(n));
        return;
    }
    if (py::isinstance<py::float_>(value)) {
        const double v = value.cast<double>();
        py::gil_scoped_release release;
        c.answer(v);
        return;
    }
    throw py::type_error(tr("odpowiedź musi być liczbą albo tekstem"));
}

}  // namespace

PYBIND11_MODULE(_zuva, m) {
    m.doc() = "zuva: consultations of rule-and-model knowledge bases (the compiled part of the package)";
    m.attr("__version__") = ZUVA_VERSION;
    bind_records(m);

    static py::exception<Error> error(m, "Error");
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const Error& e) {
            py::object cls = py::reinterpret_borrow<py::object>(error.ptr());
            py::object instance = cls(py::str(e.what()));
            instance.attr("message") = py::str(e.message());
            instance.attr("file") = e.file().empty() ? py::object(py::none()) : py::object(py::str(e.file()));
            instance.attr("line") = e.line();
            PyErr_SetObject(error.ptr(), instance.ptr());
        }
    });

    py::class_<Finding>(m, "Finding", "A finding of the loads, tests and diagnoses of a knowledge base.")
        .def_property_readonly(
            "level", [](const Finding& f) { return level_name(f.level); },
            "\"error\", \"warning\" or \"note\".")
        .def_readonly("kind", &Finding::kind, "Short ASCII name of the test or diagnosis that found it.")
        .def_readonly("text", &Finding::text, "The program's message.")
        .def_readonly("file", &Finding::file, "The base file it concerns.")
        .def_readonly("line", &Finding::line, "Its line, from 1.")
        .def_readonly("column", &Finding::column, "Its column, from 1.")
        .def("__repr__", [](const Finding& f) {
            return "<zuva.Finding " + f.file + ":" + std::to_string(f.line) + ": " + level_name(f.level) +
                   ": " + f.text + ">";
        });

    py::class_<Question>(m, "Question", "The pending question of a consultation, as data.")
        .def_property_readonly(
            "kind", [](const Question& q) { return kind_name(q.kind); },
            "What kind of question: condition_cf, conclusion_cf, argument_value, choice, radio, list, "
            "multi_list or text.")
        .def_readonly("name", &Question::name,
                      "What is asked about: the condition or argument, else the dialog's title.")
        .def_readonly("title", &Question::title, "The dialog's title as the program shows it.")
        .def_readonly("text", &Question::text, "The program's own text of the question (or its prompt).")
        .def_readonly("dialog", &Question::dialog, "The dialog's own name (\"Określ wartość CF\").")
        .def_readonly("min", &Question::min, "The smallest number taken, when there is a range.")
        .def_readonly("max", &Question::max, "The largest number taken, when there is a range.")
        .def_readonly("options", &Question::options, "The buttons or items to choose from.")
        .def_readonly("can_ask_why", &Question::can_ask_why, "why() answers at this question.")
        .def_readonly("number", &Question::number, "The question's number in the consultation, from 1.")
        .def_readonly("accepted", &Question::accepted,
                      "The only numbers taken (a member of an exact constraint: [-1.0, 1.0]); empty when any "
                      "number in [min, max] is.")
        .def_readonly("display", &Question::display,
                      "The text the knowledge base's texts base gives the name (\"\" when none).")
        .def_readonly("help", &Question::help, "The longer help text of the texts base (\"\" when none).")
        .def("__repr__", [](const Question& q) {
            return std::string("<zuva.Question ") + kind_name(q.kind) + " " + q.name + ">";
        });

    py::class_<Why>(m, "Why", "Why a value is asked: the program's \"Dlaczego pytam?\" as data.")
        .def_readonly("name", &Why::name, "What is asked about.")
        .def_readonly("chain", &Why::chain,
                      "The reasons, the innermost first: each the lines one rule or model adds.")
        .def_readonly("text", &Why::text, "The program's text of the reasons.")
        .def("__str__", [](const Why& w) { return w.text; });

    py::class_<HowNode>(m, "HowNode", "How a conclusion got its CF, as a tree of the explanation's lines.")
        .def_readonly("text", &HowNode::text, "A line of the program's explanation.")
        .def_readonly("children", &HowNode::children, "The lines under it.")
        .def("__str__", [](const HowNode& n) {
            std::string out;
            std::vector<std::pair<const HowNode*, int>> todo{{&n, 0}};
            while (!todo.empty()) {
                auto [node, depth] = todo.back();
                todo.pop_back();
                out += std::string(4 * static_cast<std::size_t>(depth), ' ') + node->text + "\n";
                for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
                    todo.emplace_back(&*it, depth + 1);
            }
            return out;
        });

    py::class_<Offer>(m, "Offer", "An advice text, picture or sound offered with a conclusion.")
        .def_readonly("name", &Offer::name, "The file as the base names it.")
        .def_readonly("path", &Offer::path, "The file's path.")
        .def_readonly("text", &Offer::text, "An advice's text (\"\" for a picture or sound).")
        .def_readonly("available", &Offer::available, "False when the file is missing.")
        .def_readonly("conclusion", &Offer::conclusion, "The conclusion it came with.")
        .def_readonly("rule", &Offer::rule, "The rule (or relational model) whose record names the file.")
        .def_readonly("model", &Offer::model, "True when `rule` is a relational model's number.")
        .def_readonly("cf", &Offer::cf, "The conclusion's CF at the end of the run (None when it has none).")
        .def("__repr__", [](const Offer& o) { return "<zuva.Offer " + o.path + ">"; });

    py::class_<Consultation>(m, "Consultation",
                             "A consultation: an iterator over its questions, then its results.",
                             py::dynamic_attr())
        .def(
            "__iter__", [](py::object self) { return self; },
            "The pending questions in turn; each must be answered before the next is asked for.")
        .def("__next__",
             [](py::object self) {
                 Consultation& c = self.cast<Consultation&>();
                 std::optional<Question> q;
                 {
                     py::gil_scoped_release release;
                     q = c.next();
                 }
                 if (!q) throw py::stop_iteration();
                 // The same question unanswered would come for ever.
                 if (py::hasattr(self, "_awaiting") && self.attr("_awaiting").cast<int>() == q->number)
                     throw Error(tr("Pytanie ") + std::to_string(q->number) + " (" + q->name +
                                 tr(") nie dostało odpowiedzi: odpowiedz na nie (answer) przed następnym."));
                 self.attr("_awaiting") = q->number;
                 return *q;
             })
        .def(
            "close",
            [](py::object self) {
                Consultation& c = self.cast<Consultation&>();
                py::gil_scoped_release release;
                c.close();
            },
            "Ends the consultation now: its thread ends before this returns; no question is pending "
            "after it.")
        .def("__enter__", [](py::object self) { return self; })
        .def(
            "__exit__",
            [](py::object self, const py::object&, const py::object&, const py::object&) {
                Consultation& c = self.cast<Consultation&>();
                py::gil_scoped_release release;
                c.close();
                return false;
            },
            "Closes the consultation, whether the block ended or raised.")
        .def_property_readonly(
            "pending",
            [](Consultation& c) {
                py::gil_scoped_release release;
                return c.next();
            },
            "The question waiting for an answer, or None when the consultation has ended.")
        .def(
            "answer",
            [](py::object self, const py::object& value) {
                // Answered (or refused): the question may come again.
                if (py::hasattr(self, "_awaiting")) py::delattr(self, "_awaiting");
                answer(self.cast<Consultation&>(), value);
            },
            py::arg("value"),
            "Answers the pending question: a number for a CF or a value, a label or a position "
            "(from 1) for a choice, a text as typed.")
        .def("why", &Consultation::why, py::call_guard<py::gil_scoped_release>())
        .def("how", &Consultation::how, py::arg("statement"), py::call_guard<py::gil_scoped_release>())
        .def_property_readonly(
            "log",
            [](const Consultation& c) {
                return py::module_::import("json").attr("loads")(c.log().to_json());
            },
            "The log so far (a dict that json.dumps takes): the base's files with their SHA-256, the "
            "direction, hypothesis and options, and every answer with its question; kb.resume takes it.")
        .def_property_readonly(
            "finished",
            [](Consultation& c) {
                py::gil_scoped_release release;
                return c.finished();
            },
            "The consultation has ended (normally or not).")
        .def_property_readonly(
            "completed",
            [](Consultation& c) {
                py::gil_scoped_release release;
                return c.finished() && c.result().completed;
            },
            "The consultation ran to its normal end (False while a question is pending).")
        .def_property_readonly(
            "trace", [](Consultation& c) { return c.result().trace; },
            "The rules and models applied, the answered and completed conditions, the "
            "contributions in the order made.")
        .def_property_readonly(
            "conclusions",
            [](Consultation& c) {
                py::dict d;
                for (const auto& x : c.result().conclusions)
                    d[py::str(x.name)] = x.cf ? py::object(py::float_(*x.cf)) : py::none();
                return d;
            },
            "The conclusions of the finished run with their CFs (None for one without a CF).")
        .def_property_readonly(
            "arguments",
            [](Consultation& c) {
                py::dict d;
                for (const auto& a : c.result().arguments)
                    d[py::str(a.name)] = a.value;
                return d;
            },
            "The values of the model arguments the run knew at its end.")
        .def_property_readonly(
            "labels",
            [](Consultation& c) {
                py::dict d;
                for (const auto& x : c.result().conclusions)
                    if (!x.display.empty()) d[py::str(x.name)] = x.display;
                for (const auto& a : c.result().arguments)
                    if (!a.display.empty()) d[py::str(a.name)] = a.display;
                return d;
            },
            "The labels the texts base gives the conclusions and arguments of the results.")
        .def_property_readonly(
            "advice", [](Consultation& c) { return c.result().advice; }, "The advice texts offered.")
        .def_property_readonly(
            "pictures", [](Consultation& c) { return c.result().pictures; }, "The pictures offered.")
        .def_property_readonly(
            "sounds", [](Consultation& c) { return c.result().sounds; }, "The sounds offered.")
        .def_property_readonly(
            "report", [](Consultation& c) { return c.result().report; },
            "The report text as a report file holds it.")
        .def_property_readonly(
            "summary", [](Consultation& c) { return c.result().summary; },
            "The summary text as a summary file holds it.")
        .def_property_readonly(
            "notes", [](Consultation& c) { return c.result().notes; },
            "The notes the program showed, in order.");

    py::class_<KnowledgeBase>(
        m, "KnowledgeBase", "An opened knowledge base: its bases loaded once, consulted any number of times.")
        .def_property_readonly("rule_file", &KnowledgeBase::rule_file, "The rule-base file as it was given.")
        .def_property_readonly("files", &KnowledgeBase::files, "Every base loaded, the rule base first.")
        .def_property_readonly(
            "findings", &KnowledgeBase::findings,
            "The findings of the loads and their tests (a base that did not load is an error here).")
        .def("check", &KnowledgeBase::check, py::call_guard<py::gil_scoped_release>(),
             "Every test and diagnosis of `zuva check` and the analysis, as findings.")
        .def("hypotheses", &KnowledgeBase::hypotheses, py::arg("type") = 1,
             py::call_guard<py::gil_scoped_release>(),
             "The candidates of backward inference: type 1 narrow, 2 broad.")
        .def("display_text", &KnowledgeBase::display_text, py::arg("name"), py::arg("language") = "",
             "The text the texts base gives a name for a person to read, in `language` when it has one "
             "there, else in Polish; \"\" when it gives none.")
        .def("help_text", &KnowledgeBase::help_text, py::arg("name"), py::arg("language") = "",
             "The longer help text the texts base gives a name; \"\" when it gives none.")
        .def(
            "resume",
            [](const KnowledgeBase& kb, const py::object& log) {
                const std::string text =
                    py::isinstance<py::str>(log)
                        ? log.cast<std::string>()
                        : py::module_::import("json").attr("dumps")(log).cast<std::string>();
                py::gil_scoped_release release;
                return kb.resume(zuva::api::Log::from_json(text));
            },
            py::arg("log"),
            "The consultation of a log (a dict or its JSON text) run again to the same point; raises "
            "zuva.Error naming the first file or question that differs.")
        .def(
            "graph",
            [](const KnowledgeBase& kb, const std::string& focus, int depth, bool up, bool down) {
                zuva::api::GraphOptions o;
                o.focus = focus;
                o.depth = depth;
                o.up = up;
                o.down = down;
                py::gil_scoped_release release;
                return kb.graph(o);
            },
            py::arg("focus") = "", py::arg("depth") = 2, py::arg("up") = true, py::arg("down") = true,
            "The network of the base in Graphviz's language (DOT): all of it, or the neighbourhood of "
            "`focus` to `depth` steps (up: what it depends on, down: what depends on it); a large base "
            "without a focus as its conclusions only.")
        .def("reload", &KnowledgeBase::reload, py::call_guard<py::gil_scoped_release>(),
             "The same rule-base file opened again, as its files are now.")
        .def_property_readonly("changed_on_disk", &KnowledgeBase::changed_on_disk,
                               "A file of the base changed on disk since it was opened.")
        .def(
            "forward",
            [](const KnowledgeBase& kb, int detail, const std::vector<std::string>& labels,
               const py::iterable& imported, bool ask_labels) {
                const Options o = options_of(detail, labels, 0, imported, ask_labels);
                py::gil_scoped_release release;
                return kb.forward(o);
            },
            py::arg("detail") = 1, py::arg("labels") = std::vector<std::string>{},
            py::arg("imported") = py::list(), py::arg("ask_labels") = false,
            "A forward consultation; `imported` rows (kind, name, value) are declared before it, as an "
            "import from a data source declares them; with ask_labels the labels questions come to the "
            "caller.")
        .def(
            "backward",
            [](const KnowledgeBase& kb, const std::string& h, int detail,
               const std::vector<std::string>& labels, int type, const py::iterable& imported,
               bool ask_labels) {
                const Options o = options_of(detail, labels, type, imported, ask_labels);
                py::gil_scoped_release release;
                return kb.backward(h, o);
            },
            py::arg("hypothesis"), py::arg("detail") = 1, py::arg("labels") = std::vector<std::string>{},
            py::arg("type") = 0, py::arg("imported") = py::list(), py::arg("ask_labels") = false,
            "A backward consultation testing the hypothesis (\"\": the type and the hypothesis are asked).")
        .def(
            "inventory", [](const KnowledgeBase& kb) { return inventory(kb); },
            py::call_guard<py::gil_scoped_release>(),
            "The rules, models, askable conditions and arguments, each placed in its base file.")
        .def("__repr__",
             [](const KnowledgeBase& kb) { return "<zuva.KnowledgeBase " + kb.rule_file() + ">"; });

    m.def("set_language", &zuva::api::set_language, py::arg("code"),
          "The language of the program's texts in the consultations started afterwards: \"pl\" "
          "(the default) or \"en\"; False when no English catalog is found or the code is neither.");
    m.def("language", &zuva::api::language, "The language of the program's texts: \"pl\" or \"en\".");
    m.def(
        "open", [](const std::string& path) { return KnowledgeBase::open(path); }, py::arg("path"),
        py::call_guard<py::gil_scoped_release>(),
        "Opens a rule-base file with the bases of its distinguishing name beside it.");
    m.def(
        "run",
        [](const KnowledgeBase& kb, const py::dict& answers, const std::string& hypothesis,
           const py::object& otherwise, int detail, const std::vector<std::string>& labels,
           bool allow_extra) {
            // Numbers are typed as Python writes them (0.8, -1).
            auto typed = [](const py::handle& v) -> std::string {
                if (py::isinstance<py::bool_>(v))
                    throw py::type_error(tr("odpowiedź nie może być wartością logiczną"));
                if (py::isinstance<py::str>(v)) return v.cast<std::string>();
                if (py::isinstance<py::int_>(v) || py::isinstance<py::float_>(v))
                    return py::str(v).cast<std::string>();
                throw py::type_error(tr("odpowiedź musi być liczbą albo tekstem"));
            };
            std::map<std::string, std::string> by_name;
            for (const auto& [k, v] : answers)
                by_name[k.cast<std::string>()] = typed(v);
            std::optional<std::string> other;
            if (!otherwise.is_none()) other = typed(otherwise);
            Options o = options_of(detail, labels, 0);
            o.allow_extra_answers = allow_extra;
            py::gil_scoped_release release;
            return run(kb, by_name, hypothesis, o, other);
        },
        py::arg("kb"), py::arg("answers") = py::dict(), py::arg("hypothesis") = "",
        py::arg("otherwise") = py::none(), py::arg("detail") = 1,
        py::arg("labels") = std::vector<std::string>{}, py::arg("allow_extra") = false,
        "Runs a whole consultation from answers by name (numbers, or texts as typed); forward "
        "unless a hypothesis is given. An answer by a name the base does not know and the run "
        "never asked about is an error unless allow_extra is true.");
}
