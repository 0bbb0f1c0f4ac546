// The ids of the hyperlink probe's dialog, shared by its resource script (rvxlinks.rc), the
// probe that shows it (link_dialog.cpp) and the check that drives it (link_check_main.cpp).
// Plain macros, as the resource compiler reads them too.
#pragma once

#define RVX_LINK_DIALOG 100

// The three static texts turned into hyperlinks: left-aligned, centred (also vertically) and
// right-aligned.
#define RVX_LINK_LEFT 101
#define RVX_LINK_CENTRE 102
#define RVX_LINK_RIGHT 103

// Hidden statics with the same rectangles as the links in the template: the areas each link
// was given before it shrank to its text.
#define RVX_AREA_LEFT 111
#define RVX_AREA_CENTRE 112
#define RVX_AREA_RIGHT 113

// The commands each link posts to the dialog after a visit.
#define RVX_NOTIFY_LEFT 2001
#define RVX_NOTIFY_CENTRE 2002
#define RVX_NOTIFY_RIGHT 2003

// A static the dialog writes the count of each posted command into, "left=N centre=N right=N".
#define RVX_LINK_STATUS 120
