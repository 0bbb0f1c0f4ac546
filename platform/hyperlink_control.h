// HyperlinkControl: a line of text on a page that opens its target when clicked. This is the
// control's logic, the same on every platform: it sizes itself to its text, remembers whether its
// target was visited, and reacts to a click; the platform's control draws it and forwards clicks.
#pragma once

#include <string>
#include <string_view>

#include "platform/shell.h"
#include "platform/text_measure.h"

namespace rvx::platform {

enum class HorizontalAlignment { left, centre, right };

// The alignment the control's style gives its text.
struct HyperlinkStyle {
    HorizontalAlignment horizontal = HorizontalAlignment::left;
    bool centre_vertically = false;
};

// What a click needs from the program: opening the target (with its fallback to the web
// browser) and telling the user why it could not be opened.
class HyperlinkActions {
public:
    virtual ~HyperlinkActions() = default;
    virtual ShellCode Open(std::string_view target) = 0;
    virtual void ShowOpenError(ShellCode code) = 0;
};

// What a click needs from the control's window.
class HyperlinkWindow {
public:
    virtual ~HyperlinkWindow() = default;
    virtual void Redraw() = 0;
    // Posts a command message with no further parameters to the page that holds the control.
    virtual void PostCommandToParent(int command) = 0;
};

class HyperlinkControl {
public:
    // notify_command 0 sends nothing after a visit.
    explicit HyperlinkControl(std::string target, int notify_command = 0)
        : target_(std::move(target)), notify_command_(notify_command) {}

    // The control's rectangle shrunk to its text, measured in the control's font: placed by the
    // horizontal alignment, and centred vertically when the style asks for it, else at the top.
    // A text larger than the rectangle keeps the rectangle's size in that direction.
    static Rect FitToText(const Rect& area, std::string_view text, const HyperlinkStyle& style,
                               const MeasureText& measure);

    // Opens the target; a failure is shown and leaves the control unvisited, a success redraws
    // it and posts the notify command once.
    void OnClick(HyperlinkActions& actions, HyperlinkWindow& window);

    const std::string& target() const { return target_; }
    void SetTarget(std::string target) { target_ = std::move(target); }
    int notify_command() const { return notify_command_; }
    bool visited() const { return visited_; }
    // Redraws the control when the state changes, since visited links are drawn differently.
    void SetVisited(bool visited, HyperlinkWindow& window);

private:
    std::string target_;
    int notify_command_ = 0;
    bool visited_ = false;
};

}  // namespace rvx::platform
