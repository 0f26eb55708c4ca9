// One Graphviz context for the process, made on first use with the plugins the library's
// installation lists (dot layout, the core and cairo outputs). Graphviz's messages go to a
// buffer of the drawing instead of standard error.
#include "draw/render.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <chrono>
#include <mutex>

namespace zuva::draw {

namespace {

std::mutex& graphviz_lock() {
    static std::mutex m;
    return m;
}

std::string* messages = nullptr;  // of the drawing being made, under the lock

int keep_message(char* text) {
    if (messages != nullptr && text != nullptr && messages->size() < 4096) *messages += text;
    return 0;
}

GVC_t* context() {
    static GVC_t* gvc = [] {
        agseterrf(keep_message);
        agseterr(AGERR);
        return gvContext();
    }();
    return gvc;
}

double ms_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

Drawing render(const std::string& dot, const std::string& format) {
    Drawing d;
    if (format != "svg" && format != "png" && format != "dot") {
        d.error = "nieznany format rysunku '" + format + "'";
        return d;
    }
    std::lock_guard<std::mutex> lock(graphviz_lock());
    messages = &d.error;
    GVC_t* gvc = context();
    Agraph_t* g = agmemread(dot.c_str());
    if (g == nullptr) {
        if (d.error.empty()) d.error = "Graphviz nie przyjął opisu grafu";
        messages = nullptr;
        return d;
    }
    auto t = std::chrono::steady_clock::now();
    const bool laid = gvLayout(gvc, g, "dot") == 0;
    d.layout_ms = ms_since(t);
    if (laid) {
        t = std::chrono::steady_clock::now();
        char* data = nullptr;
        unsigned int length = 0;
        if (gvRenderData(gvc, g, format.c_str(), &data, &length) == 0 && data != nullptr) {
            d.data.assign(data, length);
            d.ok = true;
        }
        gvFreeRenderData(data);
        d.render_ms = ms_since(t);
        gvFreeLayout(gvc, g);
    }
    agclose(g);
    if (!d.ok && d.error.empty()) d.error = "Graphviz nie narysował grafu";
    if (d.ok) d.error.clear();
    messages = nullptr;
    return d;
}

}  // namespace zuva::draw
