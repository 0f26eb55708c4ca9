// Handlers of the main-menu commands by id. Each subsystem registers the commands
// whose operations it holds; a command without a handler is never enabled.
#pragma once
#include <functional>
#include <unordered_map>

namespace zuva {

struct Session;
using CommandHandler = std::function<void(Session&)>;

class CommandRegistry {
  public:
    void set(int id, CommandHandler h) { handlers_[id] = std::move(h); }
    const CommandHandler* find(int id) const {
        auto it = handlers_.find(id);
        return it == handlers_.end() ? nullptr : &it->second;
    }
    bool has(int id) const { return handlers_.count(id) != 0; }

  private:
    std::unordered_map<int, CommandHandler> handlers_;
};

}  // namespace zuva
