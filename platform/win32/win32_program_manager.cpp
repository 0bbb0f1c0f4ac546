// Commands to the program manager, sent as a DDE execute transaction to its "PROGMAN" service.
#include <string>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_pending.h"

#include <ddeml.h>

namespace rvx::win32 {

namespace {

// A client only: every transaction a server would receive is filtered out, so nothing arrives here.
HDDEDATA CALLBACK IgnoreTransaction(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

}  // namespace

platform::Outcome Win32ProgramManager::Execute(std::string_view command) {
    DWORD instance = 0;
    if (DdeInitializeA(&instance, IgnoreTransaction, CBF_FAIL_ALLSVRXACTIONS, 0) != DMLERR_NO_ERROR)
        return platform::Fail(platform::Status::io_error, "the DDE library cannot be set up");

    // The program manager answers on one name for both its service and its topic.
    char name[] = "PROGMAN";
    HSZ service = DdeCreateStringHandleA(instance, name, CP_WINANSI);
    HCONV conversation = service ? DdeConnect(instance, service, service, nullptr) : nullptr;
    if (service) DdeFreeStringHandle(instance, service);
    if (!conversation) {
        DdeUninitialize(instance);
        return platform::Fail(platform::Status::not_found, "no program manager answers DDE");
    }

    // The command goes with its terminating zero; whether the program manager carried it out is
    // not reported, as the uninstaller goes on either way.
    std::string text(command);
    (void)DdeClientTransaction(reinterpret_cast<LPBYTE>(text.data()), static_cast<DWORD>(text.size() + 1), conversation,
                               nullptr, 0, XTYP_EXECUTE, 1000, nullptr);
    DdeDisconnect(conversation);
    DdeUninitialize(instance);
    return {};
}

}  // namespace rvx::win32
