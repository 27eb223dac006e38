#pragma once

// Modal result codes shared by every window; closing a modal window from its title
// bar gives mrCancel.
enum ModalResultCode : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};
