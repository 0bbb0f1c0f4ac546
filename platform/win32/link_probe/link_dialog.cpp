// The hyperlink probe's dialog.
#include "platform/win32/link_probe/link_dialog.h"

#include <array>
#include <string>

#include "platform/win32/dialog_marks.h"
#include "platform/win32/link_probe/link_probe_ids.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_hyperlink.h"

namespace rvx::win32::link_probe {

namespace {

struct Link {
    int control;
    int notify_command;
    const std::string LinkTargets::*target;
};

constexpr std::array<Link, 3> kLinks{{{RVX_LINK_LEFT, RVX_NOTIFY_LEFT, &LinkTargets::left},
                                      {RVX_LINK_CENTRE, RVX_NOTIFY_CENTRE, &LinkTargets::centre},
                                      {RVX_LINK_RIGHT, RVX_NOTIFY_RIGHT, &LinkTargets::right}}};

struct DialogState {
    platform::HyperlinkActions& actions;
    const LinkTargets& targets;
    std::array<int, 3> posted{};
    bool linked = true;
};

void ShowCounts(HWND dialog, const DialogState& state) {
    const std::string counts = "left=" + std::to_string(state.posted[0]) + " centre=" + std::to_string(state.posted[1]) +
                               " right=" + std::to_string(state.posted[2]);
    SetDlgItemTextA(dialog, RVX_LINK_STATUS, counts.c_str());
}

INT_PTR CALLBACK LinkDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        state = reinterpret_cast<DialogState*>(lparam);
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        // Marked as the programs mark their pages, so that the GUI tests' window reader knows it.
        SetPropA(dialog, kModalPageProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(RVX_LINK_DIALOG)));
        for (const Link& link : kLinks)
            state->linked = MakeHyperlink(GetDlgItem(dialog, link.control), state->targets.*link.target,
                                          link.notify_command, state->actions) &&
                            state->linked;
        ShowCounts(dialog, *state);
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wparam);
        if (id == IDOK || id == IDCANCEL) {
            RemovePropA(dialog, kModalPageProperty);
            EndDialog(dialog, state->linked ? 0 : 1);
            return TRUE;
        }
        // Only the links' own commands, posted with no further parameters, are counted.
        for (size_t i = 0; i < kLinks.size(); ++i) {
            if (id == kLinks[i].notify_command && HIWORD(wparam) == 0 && lparam == 0) {
                ++state->posted[i];
                ShowCounts(dialog, *state);
                return TRUE;
            }
        }
        return FALSE;
    }
    default: return FALSE;
    }
}

}  // namespace

int ShowLinkDialog(platform::HyperlinkActions& actions, const LinkTargets& targets) {
    DialogState state{actions, targets};
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(RVX_LINK_DIALOG), nullptr,
                                           &LinkDialogProc, reinterpret_cast<LPARAM>(&state));
    return result == 0 ? 0 : 1;
}

}  // namespace rvx::win32::link_probe
