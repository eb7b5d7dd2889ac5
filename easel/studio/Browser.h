// Opening the studio's page in the person's web browser.
#pragma once

#include <string>
#include <vector>

namespace easel::studio {

// The command that opens `url`: the first command of $BROWSER (commands
// separated by ':'; "%s" in one stands for the address, else the address is
// added at its end), or xdg-open. Empty when neither can be run here: no
// $BROWSER and no display ($DISPLAY or $WAYLAND_DISPLAY) for xdg-open.
std::vector<std::string> browserCommand(const std::string& url);

// Starts the browser on `url` without waiting for it (its output is
// dropped). false with the reason when there is nothing to start it with or
// it cannot be started; the caller has printed the address all the same.
bool openInBrowser(const std::string& url, std::string& error);

}  // namespace easel::studio
