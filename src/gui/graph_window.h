// The window "Graf bazy wiedzy": the picture of the network of the loaded bases drawn as SVG,
// zoomed and panned, focused on a name typed or clicked; a double click on a rule, model or
// constraint asks for that record's window. It draws again when a base is loaded.
#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "verify/knowledge_graph.h"

class QLabel;
class QLineEdit;
class QScrollArea;
class QSpinBox;
class QSvgWidget;
class QTimer;

namespace zuva {

struct Session;

class GraphWindow : public QWidget {
    Q_OBJECT
  public:
    explicit GraphWindow(Session& s, QWidget* parent = nullptr);

    // Builds the network of the bases loaded now and draws it around the current focus (the
    // whole network when the focus is no longer in it).
    void reload();
    // Draws the neighbourhood of `name` ("" for the whole network); false, with the reason
    // in the status line, when the network has no such name.
    bool focus_on(const std::string& name);
    void zoom_by(double factor);
    // The zoom at which the whole picture fits the window (at most 1).
    void fit();

    QSvgWidget* picture() const { return svg_; }
    QLineEdit* name_field() const { return name_; }
    const GraphView& view() const { return view_; }
    QString status() const;
    int drawings() const { return drawings_; }
    // The node of the view under a point of the picture widget, and the centre of a node.
    std::optional<std::size_t> node_at(QPointF widget_point) const;
    std::optional<QPointF> node_centre(std::size_t node) const;

    // A double click on a rule, model or constraint.
    std::function<void(const GraphNode&)> on_open_record;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    bool draw(const GraphOptions& o);
    void apply_zoom();
    std::optional<QRectF> node_bounds(std::size_t node) const;

    Session& s_;
    KnowledgeGraph graph_;
    GraphView view_;
    std::string title_;
    QSvgWidget* svg_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLineEdit* name_ = nullptr;
    QSpinBox* depth_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer* click_ = nullptr;  // a single click waits to be sure it is not a double one
    std::optional<std::size_t> clicked_;
    double zoom_ = 1.0;
    QPoint drag_from_;
    bool dragging_ = false;
    int drawings_ = 0;
};

}  // namespace zuva
