#pragma once

// The skinned toolkit shared by both programs: skin pictures and how they are drawn, the image
// button, the see-through label, the flat bar and the embedded web view.
#include "ui/login_button.h"
#include "ui/my_progress_ctrl.h"
#include "ui/owner_draw_static.h"
#include "ui/skin_drawing.h"
#include "ui/skin_folder.h"
#include "ui/skin_fonts.h"
#include "ui/skin_page_painter.h"
#include "ui/skin_palette.h"
#include "ui/vendor_site.h"
#include "ui/web_browser.h"
#include "ui/window_conventions.h"
