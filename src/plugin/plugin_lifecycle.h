// Start-up and shut-down of the plugin, run by the module's attach and detach and by Plugin_Unload.
#pragma once

namespace barterbox {

void LoadPlugin();
// Runs in full every time it is called: after Plugin_Unload, the detach runs it once more.
void UnloadPlugin();

} // namespace barterbox
