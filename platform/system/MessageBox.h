#pragma once
// Message boxes belong to the dialog service of the shell layer; this header stays for the
// callers that include it by its old name.
#include "platform/shell/Dialogs.h"
