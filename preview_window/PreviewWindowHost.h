#pragma once
// Connects the preview engine to the application with preview windows made as plPrevForm (TplPrevForm).
// The program installs it once at start-up, before the first preview.

namespace tess {

// The application-connected preview host (preview/ApplicationPreviewHost.h), whose new preview windows
// are TplPrevForm. Calling it again changes nothing.
void InstallPreviewWindowHost();

}  // namespace tess
