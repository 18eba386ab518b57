// A client that is running while the setup works on its files is asked to close.
#pragma once

namespace kalvo {

// Looks for the client's main window by each of its titles in turn; the first one found is
// asked to close. True when one was found. Whether it really closes is not waited for.
bool ask_running_client_to_close();

} // namespace kalvo
