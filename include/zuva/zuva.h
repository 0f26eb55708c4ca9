// zuva as a library: open a knowledge base, run consultations forward or backward as steps
// (each pending question as data, answered by the caller), read the results as data.
// Value types and handles only: no toolkit, no internals. Texts are UTF-8.
#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zuva::api {

// An error with the program's message; `file` and `line` place it when it concerns a base
// file (line from 1, 0 when not known).
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message, std::string file = {}, int line = 0);
    const std::string& message() const { return message_; }
    const std::string& file() const { return file_; }
    int line() const { return line_; }

  private:
    std::string message_, file_;
    int line_;
};

// A finding of the loads and checks of a knowledge base, or a note of a consultation.
struct Finding {
    enum class Level { Error, Warning, Note };
    Level level = Level::Note;
    std::string kind;  // short ASCII name of the test that found it ("load", "syntax", ...)
    std::string text;  // the program's own text, on one line
    std::string file;  // the base file it belongs to
    int line = 0;      // from 1; 0 when not placed
    int column = 0;
};

// What a pending question asks.
enum class QuestionKind {
    ConditionCf,    // the CF of a condition, a number in [min, max]
    ConclusionCf,   // the CF of a conclusion, a number in [min, max]
    ArgumentValue,  // the value of a model argument, a number
    Choice,         // a choice between buttons (options): a label or a position from 1
    Radio,          // a choice between options: a position from 1
    List,           // a list of items (options): a position from 1, or nothing
    MultiList,      // several positions of a list, separated by commas
    Text,           // a text typed in
};

struct Question {
    QuestionKind kind = QuestionKind::Text;
    std::string name;    // what is asked about: the condition or argument, else the dialog's title
    std::string title;   // the dialog's title as the program shows it
    std::string text;    // the text the dialog shows ("Zadeklaruj CF warunku ..."), or its prompt
    std::string dialog;  // the dialog's own name ("Określ wartość CF")
    std::optional<double> min, max;    // the allowed range of a number, when there is one
    std::vector<double> accepted;      // the only numbers taken (a member of an exact constraint: -1 and 1)
    std::vector<std::string> options;  // buttons or items
    bool can_ask_why = false;          // why() answers at this question
    int number = 0;                    // the question's number in the consultation, from 1
    // What the knowledge base's texts base gives `name` for a person to read (the question in
    // the base's own words) and its longer help; empty when it gives none.
    std::string display, help;
};

// Why a value is asked: the program's "Dlaczego pytam?" text and its chain, the innermost
// reason first; each link the lines one rule or model adds (who needs what is above it).
struct Why {
    std::string name;
    std::vector<std::vector<std::string>> chain;
    std::string text;
};

// How a conclusion got its CF (or why it got none), as a tree: each node a line of the
// program's explanation, with the lines indented under it as its children.
struct HowNode {
    std::string text;
    std::vector<HowNode> children;
};

struct Conclusion {
    std::string name;
    std::optional<double> cf;  // none when the run gave it no CF
    std::string display;       // the label the texts base gives it, "" when none
};

struct Argument {
    std::string name;
    double value = 0.0;
    std::string display;  // the label the texts base gives it, "" when none
};

// An advice text, picture or sound offered at the end: its file as named in the base, its
// path, and for an advice its text; `available` is false when the file is missing. A file
// offered for several conclusions is listed once, with the first.
struct Offer {
    std::string name;
    std::string path;
    std::string text;
    bool available = true;
    // What it came with: the conclusion, the rule (or relational model, `model`) whose record
    // names the file, and the conclusion's CF at the end of the run (none when it has none).
    std::string conclusion;
    int rule = 0;
    bool model = false;
    std::optional<double> cf;
};

// A row as a data source gives it: kind "fakt" (name, CF) or "argument_znany" (name, value);
// a decimal comma is read as a point, rows of another kind are left out.
struct ImportedRow {
    std::string kind, name, value;
};

// The answers the library gives on its own to the dialogs around the questions.
struct Options {
    int detail = 1;                   // detail of messages and report: 1 small, 2 large
    std::vector<std::string> labels;  // labels of the run (in the summary)
    int hypothesis_type = 0;          // 1 narrow, 2 broad, 0 the type the hypothesis is a candidate of
    // The labels questions come to the caller ("Zachować etykiety wnioskowania?" and the
    // next ones as Choice questions, each label as a Text question) instead of `labels`.
    bool ask_labels = false;
    // Declared facts and known arguments added before the run, as the import from a data
    // source adds them.
    std::vector<ImportedRow> imported;
    // run(): an answer by a name the base does not know and the run never asked about (a
    // misspelt name whose question took another answer) is an Error unless this allows it.
    bool allow_extra_answers = false;
};

// A rule's latest contribution to its conclusion, or the CF a relational model gave its
// conclusion (`model`).
struct Contribution {
    std::string conclusion;
    bool model = false;
    int number = 0;  // the rule's or the model's number
    double cf = 0.0;
};

// What a run used: the rules and models applied (numbers, ascending), the conditions and
// arguments whose values the user gave, and the contributions, in the order they were made.
struct Trace {
    std::vector<int> rules, models;
    std::vector<std::string> answered;
    // Askable conditions an exact constraint completed (from the answers to the others of
    // its group) before they were asked.
    std::vector<std::string> completed;
    std::vector<Contribution> contributions;
};

struct Result {
    bool completed = false;  // the consultation ran to its normal end
    std::vector<Conclusion> conclusions;
    std::vector<Argument> arguments;
    std::vector<Offer> advice, pictures, sounds;
    std::string report;          // the report text as a report file holds it (UTF-8)
    std::string summary;         // the summary text as a summary file holds it (UTF-8)
    std::vector<Finding> notes;  // the notes the program showed, in order
    Trace trace;
};

// One answer of a consultation with the question it answered: the question's number, kind
// and name, and the answer as given (a position from 1 for a choice, radio or list
// question, else the text); `refused` when the program did not take it.
struct LogAnswer {
    int number = 0;
    QuestionKind kind = QuestionKind::Text;
    std::string name;
    bool by_position = false;
    int position = 0;
    std::string text;
    bool refused = false;
};
// A file of the knowledge base a consultation ran on: its name and the SHA-256 of its bytes.
struct LogFile {
    std::string name;
    std::string sha256;
};
// The log of a consultation: everything needed to run it again to the same point with the
// same results (a consultation is deterministic), and a record of what was asked and
// answered. `to_json` gives it as one JSON document, which `from_json` reads, as it reads a
// line of zuva serve's audit file (the log under "log"); it throws Error on anything else.
struct Log {
    std::vector<LogFile> base;  // the rule base first
    bool backward = false;
    std::string hypothesis;
    Options options;
    std::vector<LogAnswer> answers;

    std::string to_json() const;
    static Log from_json(const std::string& text);
};

// What a picture of the network of a knowledge base shows: all of it, or the neighbourhood
// of one name (a statement, a quantity, or "reguła N" / "model N") to a depth, each step
// through one rule, model or constraint, towards what it depends on (up), what depends on it
// (down) or both. Without a focus, a base of more than `overview_from` nodes is drawn as its
// conclusions only.
struct GraphOptions {
    std::string focus;
    int depth = 2;
    bool up = true, down = true;
    std::size_t overview_from = 300;
};
// The network in Graphviz's language (DOT, UTF-8); node i has the id "n<i>" in it and in
// the SVG Graphviz makes, and is named by names[i].
struct Graph {
    std::string dot;
    std::vector<std::string> names;
    bool overview = false;          // the conclusions-only overview of a large base
    std::size_t network_nodes = 0;  // nodes of the whole network
};
// The HOW tree as a picture in Graphviz's language: a node per line of the tree (node i has
// the id "n<i>" in depth-first order), the CF a line gives on the edge to the line above.
std::string how_dot(const HowNode& root);

class KnowledgeBase;
struct Inventory;

// A consultation in progress. Drive it from one thread at a time (different consultations
// from different threads at once). Dropping it midway ends it and frees everything.
class Consultation {
  public:
    Consultation(Consultation&&) noexcept;
    Consultation& operator=(Consultation&&) noexcept;
    ~Consultation();

    // The pending question, or none when the consultation has ended.
    std::optional<Question> next();
    // Answers the pending question with the text as typed; a refused answer throws Error
    // with the program's reason and the question stays pending.
    void answer(const std::string& text);
    void answer(double value);
    // A position from 1 for a choice, radio or list question.
    void choose(int position);
    // Why the pending value is asked.
    Why why();
    bool finished();
    // The results; throws Error while a question is pending.
    const Result& result();
    // How a statement of the finished consultation got its CF.
    HowNode how(const std::string& statement);
    // The log so far: the base, the options and every answer given, in order.
    Log log() const;
    // Ends the consultation now: a pending question is dropped and its thread ends before
    // this returns; next() then gives none. Results stay as far as they were.
    void close();

    struct Impl;

  private:
    friend class KnowledgeBase;
    friend Consultation run(const KnowledgeBase&, const std::map<std::string, std::string>&,
                            const std::string&, const Options&, const std::optional<std::string>&);
    explicit Consultation(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// An opened knowledge base: its bases loaded once, as they were when it was opened, and
// only read from then on. Copies share the loaded base; consultations started from it are
// independent and may run on any threads at once. A later edit of the files is picked up by
// opening again (`reload`).
class KnowledgeBase {
  public:
    // Opens the rule-base file and the bases of its distinguishing name beside it; throws
    // Error (with file and line) when the rule base cannot be read or does not load.
    static KnowledgeBase open(const std::string& rule_file);
    // The same rule-base file opened again, as its files are now.
    KnowledgeBase reload() const { return open(rule_file()); }
    // A file of the base has changed on disk since it was opened (its time of modification
    // or its size), or is gone.
    bool changed_on_disk() const;

    const std::string& rule_file() const;
    // Every base file of the knowledge base, the rule base first: those loaded and those found
    // beside it that did not load (an edit of any of them is a change on disk).
    std::vector<std::string> files() const;
    // The bases beside the rule base that were found but not loaded, as files() names them.
    std::vector<std::string> unloaded_files() const;
    // Of the loads and their tests. A base beside the rule base that did not load (a model base
    // with a syntax error, say) does not make open() throw: it is in unloaded_files(), an Error
    // finding here says why (kind "file" or "syntax", or "load" when its load refused it, at its
    // file and line), and consultations run without it.
    std::vector<Finding> findings() const;
    std::vector<Finding> check() const;                       // every test and diagnosis and the analysis
    std::vector<std::string> hypotheses(int type = 1) const;  // candidates: 1 narrow, 2 broad
    // What the texts base (TE*.BEN) gives a name for a person to read, in `language` when it
    // has a text there, else in Polish; "" when it gives none. `help` the longer help text.
    std::string display_text(const std::string& name, const std::string& language = {}) const;
    std::string help_text(const std::string& name, const std::string& language = {}) const;

    Consultation forward(const Options& options = {}) const;
    // With no hypothesis, the program's choices come to the caller: the type of hypothesis
    // (a Radio question, unless the options name it) and the hypothesis (a List question).
    Consultation backward(const std::string& hypothesis, const Options& options = {}) const;
    // The consultation of a log, run again: standing at the same pending question, or ended
    // with the same results. Throws Error, naming the first file or question that differs,
    // when the log is of other files or the base no longer asks what the log answers.
    Consultation resume(const Log& log) const;
    // The network of the base as DOT; throws Error when the focus names nothing of it.
    std::string graph(const GraphOptions& options = {}) const { return graph_view(options).dot; }
    Graph graph_view(const GraphOptions& options = {}) const;

    struct Impl;

  private:
    friend Consultation run(const KnowledgeBase&, const std::map<std::string, std::string>&,
                            const std::string&, const Options&, const std::optional<std::string>&);
    friend class Runner;
    friend Inventory inventory(const KnowledgeBase& kb);
    std::shared_ptr<const Impl> impl_;
};

// Consultations of one knowledge base run one after another on the calling thread, all on
// its one loaded base (as a suite of test cases runs them): each run starts where a
// consultation of a freshly opened base starts, and gives the same results.
// One Runner serves one thread at a time.
class Runner {
  public:
    explicit Runner(const KnowledgeBase& kb);
    Runner(Runner&&) noexcept;
    Runner& operator=(Runner&&) noexcept;
    ~Runner();

    // Answers a question: the text as typed (a label or a position from 1 for a choice), or
    // none to end the run there. `refused` is the program's reason when this question comes
    // back because its last answer was refused ("" otherwise).
    using Answerer = std::function<std::optional<std::string>(const Question&, const std::string& refused)>;
    // Runs a consultation (backward when the hypothesis is not empty) and gives its results;
    // none when the answerer ended it. Throws Error when the bases do not load or the
    // inference is refused.
    std::optional<Result> run(const std::string& hypothesis, const Options& options, const Answerer& answer);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A whole consultation from answers by name, on the calling thread; the finished
// consultation is returned for its results and HOW trees. A question about something not in
// the map takes `otherwise`, or throws Error when there is none; a refused answer throws
// Error with the program's reason. An empty hypothesis runs forward.
Consultation run(const KnowledgeBase& kb, const std::map<std::string, std::string>& answers,
                 const std::string& hypothesis = {}, const Options& options = {},
                 const std::optional<std::string>& otherwise = std::nullopt);

// What a knowledge base holds that a run can use, each placed in its base file (line from 1):
// rules and models (name: the conclusion or result), askable conditions and arguments (line:
// the first record that names them).
struct Item {
    std::string name;
    int number = 0;
    std::string file;
    int line = 0;
};
struct Inventory {
    std::vector<Item> rules, models, askable_conditions, askable_arguments;
};
Inventory inventory(const KnowledgeBase& kb);

// The language of the program's texts (questions, explanations, notes, errors) in the
// consultations started afterwards: "pl" (the default) or "en". False when there is no
// English catalog to be found (the texts then stay Polish) or the code is neither.
bool set_language(const std::string& code);
// "pl" or "en".
std::string language();

}  // namespace zuva::api
