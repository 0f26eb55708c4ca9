// The picture is Graphviz's SVG of a view of the network (draw/), shown by a QSvgWidget in a
// scroll area; zooming resizes the widget, panning moves the scroll bars. A node is found
// under the pointer by the bounds Qt's SVG renderer gives the group Graphviz names after it.
#include "gui/graph_window.h"

#include <QApplication>
#include <QCompleter>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <filesystem>

#include "draw/render.h"
#include "session/session.h"
#include "text/i18n.h"
#include "verify/graph_dot.h"

namespace zuva {

namespace {

QString qs(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QPushButton* button(const QString& text, QWidget* parent, QHBoxLayout* row) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}

}  // namespace

GraphWindow::GraphWindow(Session& s, QWidget* parent) : QWidget(parent), s_(s) {
    setObjectName("win_graf_bazy_wiedzy");
    auto* lay = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(zuva::tr("Nazwa:"), this));
    name_ = new QLineEdit(this);
    name_->setObjectName("nazwa");
    name_->setPlaceholderText(zuva::tr("warunek, wniosek, argument, reguła N, model N"));
    name_->setClearButtonEnabled(true);
    row->addWidget(name_, 1);
    row->addWidget(new QLabel(zuva::tr("Głębokość:"), this));
    depth_ = new QSpinBox(this);
    depth_->setRange(1, 99);
    depth_->setValue(2);
    row->addWidget(depth_);
    QPushButton* show = button(zuva::tr("&Pokaż otoczenie"), this, row);
    QPushButton* all = button(zuva::tr("&Cała sieć"), this, row);
    QPushButton* in = button("+", this, row);
    QPushButton* out = button("−", this, row);
    QPushButton* fits = button(zuva::tr("&Dopasuj"), this, row);
    lay->addLayout(row);

    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Base);
    svg_ = new QSvgWidget;
    svg_->setObjectName("rysunek");
    svg_->installEventFilter(this);
    svg_->setCursor(Qt::OpenHandCursor);
    scroll_->setWidget(svg_);
    lay->addWidget(scroll_, 1);
    status_ = new QLabel(this);
    status_->setObjectName("stan");
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    lay->addWidget(status_);

    click_ = new QTimer(this);
    click_->setSingleShot(true);
    click_->setInterval(QApplication::doubleClickInterval());
    connect(click_, &QTimer::timeout, this, [this] {
        if (clicked_ && *clicked_ < view_.nodes.size()) {
            const std::string name = graph_node_name(view_.nodes[*clicked_]);
            name_->setText(qs(name));
            focus_on(name);
        }
    });
    auto focus_typed = [this] { focus_on(name_->text().trimmed().toStdString()); };
    connect(name_, &QLineEdit::returnPressed, this, focus_typed);
    connect(show, &QPushButton::clicked, this, focus_typed);
    connect(all, &QPushButton::clicked, this, [this] {
        name_->clear();
        focus_on("");
    });
    connect(in, &QPushButton::clicked, this, [this] { zoom_by(1.25); });
    connect(out, &QPushButton::clicked, this, [this] { zoom_by(0.8); });
    connect(fits, &QPushButton::clicked, this, &GraphWindow::fit);
    reload();
}

QString GraphWindow::status() const {
    return status_->text();
}

void GraphWindow::reload() {
    const KnowledgeBase& kb = s_.kb;
    if (!kb.nazwa_re.loaded() || kb.nazwa_re.full_path.empty()) {
        graph_ = {};
        view_ = {};
        svg_->load(QByteArray());
        status_->setText(zuva::tr("Brak bazy reguł."));
        return;
    }
    const std::filesystem::path rule(*kb.nazwa_re.full_path.first());
    graph_ = build_knowledge_graph(kb, rule.parent_path().string());
    title_ = rule.filename().string();
    QStringList names;
    for (const GraphNode& n : graph_.nodes)
        names << qs(graph_node_name(n));
    names.removeDuplicates();
    auto* completer = new QCompleter(names, name_);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    delete name_->completer();
    name_->setCompleter(completer);
    // The focus stays when it is still in the network; otherwise the whole network.
    if (!focus_on(view_.focus)) focus_on("");
}

bool GraphWindow::focus_on(const std::string& name) {
    GraphOptions o;
    o.focus = name;
    o.depth = depth_->value();
    return draw(o);
}

bool GraphWindow::draw(const GraphOptions& o) {
    GraphView v;
    try {
        v = select_view(graph_, o);
    } catch (const GraphFocusError& e) {
        status_->setText(qs(e.what()));
        return false;
    }
    const draw::Drawing d = draw::render(graph_dot(v, title_), "svg");
    if (!d.ok) {
        status_->setText(zuva::tr("Nie udało się narysować sieci: ") + qs(d.error));
        return false;
    }
    view_ = std::move(v);
    svg_->load(QByteArray::fromStdString(d.data));
    ++drawings_;
    QString text = QString(zuva::tr("%1: %2 węzłów sieci")).arg(qs(title_)).arg(view_.network_nodes);
    if (view_.overview)
        text += QString(zuva::tr("; przegląd samych wniosków (%1) — wybierz nazwę, by zobaczyć szczegóły"))
                    .arg(view_.nodes.size());
    else if (!view_.focus.empty())
        text += QString(zuva::tr("; otoczenie „%1” do głębokości %2")).arg(qs(view_.focus)).arg(o.depth);
    text += zuva::tr(
        ". Kliknięcie: otoczenie węzła; dwukrotne kliknięcie reguły, modelu lub ograniczenia: jego rekord.");
    status_->setText(text);
    fit();
    return true;
}

void GraphWindow::fit() {
    const QSize size = svg_->renderer()->defaultSize();
    if (size.isEmpty()) return;
    const QSize room = scroll_->viewport()->size() - QSize(4, 4);
    zoom_ = std::min({1.0, double(room.width()) / size.width(), double(room.height()) / size.height()});
    zoom_ = std::max(zoom_, 0.05);
    apply_zoom();
}

void GraphWindow::zoom_by(double factor) {
    zoom_ = std::clamp(zoom_ * factor, 0.05, 8.0);
    apply_zoom();
}

void GraphWindow::apply_zoom() {
    const QSize size = svg_->renderer()->defaultSize();
    if (size.isEmpty()) return;
    QScrollBar* h = scroll_->horizontalScrollBar();
    QScrollBar* v = scroll_->verticalScrollBar();
    // The point in the middle of the viewport stays there.
    const double cx = (h->value() + h->pageStep() / 2.0) / std::max(1, svg_->width());
    const double cy = (v->value() + v->pageStep() / 2.0) / std::max(1, svg_->height());
    svg_->resize(std::max(1, int(size.width() * zoom_)), std::max(1, int(size.height() * zoom_)));
    h->setValue(int(cx * svg_->width() - h->pageStep() / 2.0));
    v->setValue(int(cy * svg_->height() - v->pageStep() / 2.0));
}

// Graphviz puts each node in a group with the node's id; its bounds are in the group's own
// coordinates, and the transform of the groups above it (the graph's translation) maps them
// into the picture's.
std::optional<QRectF> GraphWindow::node_bounds(std::size_t node) const {
    QSvgRenderer* r = svg_->renderer();
    const QString id = qs(graph_node_id(node));
    if (!r->elementExists(id)) return std::nullopt;
    return r->transformForElement(id).mapRect(r->boundsOnElement(id));
}

std::optional<std::size_t> GraphWindow::node_at(QPointF p) const {
    const QRectF box = svg_->renderer()->viewBoxF();
    if (box.isEmpty() || svg_->width() <= 0 || svg_->height() <= 0) return std::nullopt;
    const QPointF at(box.left() + p.x() * box.width() / svg_->width(),
                     box.top() + p.y() * box.height() / svg_->height());
    for (std::size_t i = 0; i < view_.nodes.size(); ++i)
        if (auto b = node_bounds(i); b && b->contains(at)) return i;
    return std::nullopt;
}

std::optional<QPointF> GraphWindow::node_centre(std::size_t node) const {
    const QRectF box = svg_->renderer()->viewBoxF();
    const auto b = node_bounds(node);
    if (!b || box.isEmpty()) return std::nullopt;
    const QPointF c = b->center();
    return QPointF((c.x() - box.left()) * svg_->width() / box.width(),
                   (c.y() - box.top()) * svg_->height() / box.height());
}

bool GraphWindow::eventFilter(QObject* o, QEvent* e) {
    if (o != svg_) return QWidget::eventFilter(o, e);
    switch (e->type()) {
        case QEvent::MouseButtonPress: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (m->button() != Qt::LeftButton) break;
            drag_from_ = m->globalPosition().toPoint();
            dragging_ = false;
            return true;
        }
        case QEvent::MouseMove: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (!(m->buttons() & Qt::LeftButton)) break;
            const QPoint now = m->globalPosition().toPoint();
            const QPoint d = now - drag_from_;
            if (!dragging_ && d.manhattanLength() < QApplication::startDragDistance()) return true;
            dragging_ = true;
            svg_->setCursor(Qt::ClosedHandCursor);
            scroll_->horizontalScrollBar()->setValue(scroll_->horizontalScrollBar()->value() - d.x());
            scroll_->verticalScrollBar()->setValue(scroll_->verticalScrollBar()->value() - d.y());
            drag_from_ = now;
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (m->button() != Qt::LeftButton) break;
            svg_->setCursor(Qt::OpenHandCursor);
            if (!dragging_) {
                clicked_ = node_at(m->position());
                if (clicked_) click_->start();
            }
            dragging_ = false;
            return true;
        }
        case QEvent::MouseButtonDblClick: {
            auto* m = static_cast<QMouseEvent*>(e);
            click_->stop();
            const auto node = node_at(m->position());
            if (node && view_.nodes[*node].link() && on_open_record) on_open_record(view_.nodes[*node]);
            return true;
        }
        case QEvent::Wheel: {
            auto* w = static_cast<QWheelEvent*>(e);
            if (!(w->modifiers() & Qt::ControlModifier)) break;
            zoom_by(w->angleDelta().y() > 0 ? 1.25 : 0.8);
            return true;
        }
        default:
            break;
    }
    return QWidget::eventFilter(o, e);
}

}  // namespace zuva
