// The ready-to-update page.
#include "installer/core/pages/ready_to_update_page.h"

#include "installer/core/install_app.h"

namespace rvx::installer {

int ReadyToUpdatePage::Run() { return app_.answers().unattended ? kPageNext : ShowModal(); }

}  // namespace rvx::installer
