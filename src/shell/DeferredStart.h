#pragma once

// Start-up without waiting for the pages: ten pages of a book each take longer to read and
// lay out than everything else the window needs, so the program shows the window first and
// restores the pages right after its first paint.
namespace vocalix::shell {

class TForm1;

// Whether windows made from now on leave their pages for TForm1::FinishStart (off by default:
// a window made without this is complete when its constructor returns).
void SetPagesRestoredAfterShow(bool later);
bool PagesRestoredAfterShow();

// Runs form.FinishStart() once the shown window has been exposed (painted) for the first
// time, or after two seconds at the latest (a window started minimised is never exposed).
void FinishStartOnceExposed(TForm1& form);

} // namespace vocalix::shell
