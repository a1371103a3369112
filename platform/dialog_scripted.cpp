// The setup answered without a person: the controls are kept in memory and the
// answer of QUILLMERE_SETUP is applied as a user would, by the controls' texts.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/dialog_backend.hpp"
#include "platform/run_settings.hpp"

namespace platform {
namespace {

class scripted_dialog final : public dialog {
public:
    void end(int result) override {
        ended_ = true;
        result_ = result;
    }
    void check(int id, bool checked) override { checks_[id] = checked; }
    bool checked(int id) const override {
        auto it = checks_.find(id);
        return it != checks_.end() && it->second;
    }
    void add_item(int id, const std::string& text) override { lists_[id].items.push_back(text); }
    void select(int id, int index) override {
        auto& list = lists_[id];
        list.selection = index >= 0 && index < static_cast<int>(list.items.size()) ? index : -1;
    }
    int selected(int id) const override {
        auto it = lists_.find(id);
        return it == lists_.end() ? -1 : it->second.selection;
    }
    const std::vector<std::string>& items(int id) { return lists_[id].items; }
    bool ended() const { return ended_; }
    int result() const { return result_; }

private:
    struct list_state {
        std::vector<std::string> items;
        int selection = -1;
    };
    std::map<int, bool> checks_;
    std::map<int, list_state> lists_;
    bool ended_ = false;
    int result_ = 0;
};

const dialog_control* find_control(const dialog_template& layout, control_kind kind,
                                   const std::string& text) {
    for (const dialog_control& c : layout.controls)
        if (c.kind == kind && (text.empty() || text == c.text)) return &c;
    return nullptr;
}

// The list line that shows width x height, or -1.
int find_size_item(const std::vector<std::string>& items, int width, int height) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        int w = 0, h = 0;
        if (std::sscanf(items[i].c_str(), " %d x %d", &w, &h) == 2 && w == width && h == height)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

int run_scripted_dialog(const dialog_template& layout, dialog_procedure procedure) {
    const setup_answer answer = settings().setup.value_or(setup_answer{});
    scripted_dialog d;
    procedure(&d, dialog_event::init, 0);
    if (d.ended()) return d.result();

    auto set_toggle = [&](const char* text, bool on) {
        if (const dialog_control* c = find_control(layout, control_kind::toggle_box, text))
            d.check(c->id, on);
    };
    set_toggle("Music", answer.music);
    set_toggle("Windowed", answer.windowed);
    set_toggle("Force 16:9", answer.force_16_9);
    if (answer.width > 0) {
        if (const dialog_control* list = find_control(layout, control_kind::drop_down_list, ""))
            d.select(list->id, find_size_item(d.items(list->id), answer.width, answer.height));
    }

    const dialog_control* button =
        answer.quit ? find_control(layout, control_kind::push_button, "Quit")
                    : find_control(layout, control_kind::default_push_button, "");
    procedure(&d, dialog_event::command, button ? button->id : 2);
    if (!d.ended()) procedure(&d, dialog_event::command, 2);
    return d.result();
}

}  // namespace platform
