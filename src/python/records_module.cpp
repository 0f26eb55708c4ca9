// The records of a run and of a base for Python: the trace of a consultation, the inventory
// of a knowledge base, and the runner of many consultations over one load, whose answers
// come from a Python function.
#include <pybind11/functional.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "python/zuva_bindings.h"

namespace py = pybind11;
using namespace zuva::api;

void bind_records(py::module_& m) {
    py::class_<Contribution>(m, "Contribution",
                             "A rule's latest contribution to its conclusion, or a model's CF.")
        .def_readonly("conclusion", &Contribution::conclusion, "The conclusion it went to.")
        .def_readonly("model", &Contribution::model, "True when a relational model gave it, not a rule.")
        .def_readonly("number", &Contribution::number, "The rule's or the model's number.")
        .def_readonly("cf", &Contribution::cf, "The CF it contributed.")
        .def("__repr__", [](const Contribution& c) {
            return "<zuva.Contribution " + std::string(c.model ? "model " : "reguła ") +
                   std::to_string(c.number) + " -> " + c.conclusion + " " +
                   py::repr(py::float_(c.cf)).cast<std::string>() + ">";
        });
    py::class_<Trace>(m, "Trace", "What a run used, in the order it was used.")
        .def_readonly("rules", &Trace::rules, "The rules applied, by number, ascending.")
        .def_readonly("models", &Trace::models, "The models applied, by number, ascending.")
        .def_readonly("answered", &Trace::answered,
                      "The conditions and arguments whose values the user gave.")
        .def_readonly("completed", &Trace::completed,
                      "Askable conditions an exact constraint completed before they were asked.")
        .def_readonly("contributions", &Trace::contributions,
                      "The contributions in the order they were made.")
        .def("__repr__", [](const Trace& t) {
            return "<zuva.Trace rules=" + std::to_string(t.rules.size()) +
                   " models=" + std::to_string(t.models.size()) +
                   " answered=" + std::to_string(t.answered.size()) + ">";
        });
    py::class_<Item>(m, "Item",
                     "A rule, model, askable condition or argument and where its base file has it.")
        .def_readonly("name", &Item::name, "The conclusion or result (rules, models) or the askable name.")
        .def_readonly("number", &Item::number, "The rule's or the model's number (0 for an askable name).")
        .def_readonly("file", &Item::file, "The base file that has it.")
        .def_readonly("line", &Item::line, "Its line in that file, from 1.")
        .def("__repr__", [](const Item& i) {
            return "<zuva.Item " + i.name + " " + i.file + ":" + std::to_string(i.line) + ">";
        });
    py::class_<Inventory>(m, "Inventory", "What a knowledge base holds that a run can use.")
        .def_readonly("rules", &Inventory::rules, "The rules.")
        .def_readonly("models", &Inventory::models, "The models of every kind.")
        .def_readonly("askable_conditions", &Inventory::askable_conditions,
                      "The conditions the user is asked about.")
        .def_readonly("askable_arguments", &Inventory::askable_arguments,
                      "The model arguments the user is asked about.");
    py::class_<Result>(m, "Result", "The results of a consultation run by a Runner.")
        .def_readonly("completed", &Result::completed, "The consultation ran to its normal end.")
        .def_property_readonly(
            "conclusions",
            [](const Result& r) {
                py::dict d;
                for (const auto& x : r.conclusions)
                    d[py::str(x.name)] = x.cf ? py::object(py::float_(*x.cf)) : py::none();
                return d;
            },
            "The conclusions with their CFs (None for one without a CF).")
        .def_property_readonly(
            "arguments",
            [](const Result& r) {
                py::dict d;
                for (const auto& a : r.arguments)
                    d[py::str(a.name)] = a.value;
                return d;
            },
            "The values of the model arguments at the end of the run.")
        .def_readonly("trace", &Result::trace, "What the run used.")
        .def_readonly("summary", &Result::summary, "The summary text as a summary file holds it.")
        .def_readonly("report", &Result::report, "The report text as a report file holds it.");
    py::class_<Runner>(m, "Runner",
                       "Many consultations over one load, one after another on the calling thread, each "
                       "starting as a consultation of a freshly opened base starts.")
        .def(py::init<const KnowledgeBase&>(), py::arg("kb"))
        .def(
            "run",
            [](Runner& r, const py::function& answer, const std::string& hypothesis, int detail) {
                Options o;
                o.detail = detail;
                // The answering function sees the question and the reason its last answer was
                // refused ("" when it was not); it gives the answer as typed, a number, or None
                // to end the run.
                Runner::Answerer ask = [&answer](const Question& q,
                                                 const std::string& refused) -> std::optional<std::string> {
                    py::gil_scoped_acquire hold;
                    py::object a = answer(q, refused);
                    if (a.is_none()) return std::nullopt;
                    return py::str(a).cast<std::string>();
                };
                py::gil_scoped_release release;
                return r.run(hypothesis, o, ask);
            },
            py::arg("answer"), py::arg("hypothesis") = "", py::arg("detail") = 1,
            "Runs one consultation (backward when a hypothesis is given); answer(question, refused) "
            "gives each answer. None when the function ended the run.");
}
