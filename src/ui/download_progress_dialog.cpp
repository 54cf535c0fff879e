// download_progress_dialog.cpp - the portable half of the progress dialog.
#include "ui/download_progress_dialog.h"

#include <string>

#include "platform/clock.h"
#include "ui/string_table.h"

using orb::ui::IProgressWindow;

namespace {

class SystemClock : public CProgressClock {
 public:
  std::uint32_t Now() override { return orb::platform::TickCount(); }
  void Sleep(std::uint32_t milliseconds) override { orb::platform::SleepMilliseconds(milliseconds); }
};

std::wstring Number(std::uint64_t value) { return std::to_wstring(value); }

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

}  // namespace

CProgressClock& CProgressClock::System() {
  static SystemClock clock;
  return clock;
}

CDownloadProgressDialog::CDownloadProgressDialog(orb::ui::IUserInterface& ui, CProgressClock& clock)
    : ui_(ui), clock_(clock) {}

CDownloadProgressDialog::~CDownloadProgressDialog() { DestroyWindow(); }

HRESULT CDownloadProgressDialog::Create() {
  if (window_) return S_OK;
  window_ = ui_.CreateProgressWindow(this);
  if (!window_) return E_FAIL;
  question_ = ui_.CreateMessageBoxThread();
  using namespace orb::ui;
  window_->SetItemText(kProgressCancelButton, LoadString(IDS_CANCEL));
  window_->SetProgressRange(range_ != 0 ? range_ : total_);
  window_->SetItemText(kProgressSize, std::wstring());
  window_->SetItemText(kProgressTitle, std::wstring());
  window_->SetItemText(kProgressStatus, LoadString(IDS_PREPARING));
  window_->SetItemText(kProgressPercent, std::wstring());
  window_->SetCaption(LoadString(IDS_PRODUCT_NAME));
  return S_OK;
}

void CDownloadProgressDialog::DestroyWindow() {
  if (question_) question_->Close();
  window_.reset();
}

void CDownloadProgressDialog::SetTitle(const std::wstring& text) {
  if (window_) window_->SetItemText(orb::ui::kProgressTitle, text);
}

void CDownloadProgressDialog::SetStatus(const std::wstring& text) {
  if (window_) window_->SetItemText(orb::ui::kProgressStatus, text);
}

void CDownloadProgressDialog::ResetCounters() {
  cancelled_ = false;
  received_ = 0;
  total_ = 0;
  range_ = 0;
  startTick_ = lastRefreshTick_ = clock_.Now();
}

void CDownloadProgressDialog::SetTotalBytes(std::uint64_t size) {
  if (size == ~std::uint64_t{0} || (size >> 32) != 0) return;
  total_ = static_cast<std::uint32_t>(size);
}

void CDownloadProgressDialog::SetRange(std::uint32_t range) {
  range_ = range;
  if (window_) window_->SetProgressRange(range);
}

std::wstring CDownloadProgressDialog::SizePart(std::uint32_t bytes) {
  if (bytes < 10000) return Number(bytes) + L" B";
  if (bytes < 10240000) return Number(CeilDiv(bytes, 1024)) + L" KB";
  return Number(CeilDiv(bytes, 1048576)) + L" MB";
}

std::wstring CDownloadProgressDialog::SizeText(std::uint32_t received, std::uint32_t total) {
  std::wstring text = SizePart(received);
  if (total != 0) text += L" / " + SizePart(total);
  return text;
}

bool CDownloadProgressDialog::RefreshDue(std::uint32_t now) const {
  if (static_cast<std::uint32_t>(now - lastRefreshTick_) > kRefreshMilliseconds) return true;
  if (lastRefreshTick_ == startTick_) return true;  // first refresh since ResetCounters
  // 64-bit so that a count near 4 GiB cannot wrap past the total.
  return std::uint64_t{received_} + kNearEndBytes >= total_;
}

void CDownloadProgressDialog::UpdateProgress(std::int64_t byteDifference, std::uint32_t position) {
  if (byteDifference != -1) received_ += static_cast<std::uint32_t>(byteDifference);
  const std::uint32_t now = clock_.Now();
  if (!RefreshDue(now)) return;
  lastRefreshTick_ = now + 1;
  if (window_) {
    using namespace orb::ui;
    window_->SetItemText(kProgressSize, SizeText(received_, total_));
    window_->SetProgressPosition(position);
    std::wstring title = window_->GetItemText(kProgressTitle);
    if (title.empty()) title = LoadString(IDS_PRODUCT_NAME);
    if (position > 0) {
      const std::uint32_t percent = range_ != 0 ? position * 100u / range_ : 0;
      window_->SetCaption(Number(percent) + L" % / " + title.substr(0, 1024));
      window_->SetItemText(kProgressPercent, Number(percent) + L" %");
    } else {
      window_->SetCaption(title);
    }
  }
  clock_.Sleep(kRefreshMilliseconds);
  PumpMessages();
}

bool CDownloadProgressDialog::IsCancelled() {
  if (question_ && question_->GetResult() == orb::ui::kButtonYes) cancelled_ = true;
  return cancelled_;
}

void CDownloadProgressDialog::PumpMessages() {
  if (window_) window_->PumpMessages();
}

void CDownloadProgressDialog::OnCancelRequested() {
  if (!question_) return;
  orb::ui::MessageBoxSpec box;
  box.caption = orb::ui::LoadString(orb::ui::IDS_PRODUCT_NAME);
  box.text = orb::ui::LoadString(copyMode_ ? orb::ui::IDS_ASK_CANCEL_COPY : orb::ui::IDS_ASK_CANCEL_DOWNLOAD);
  box.buttons = orb::ui::Buttons::kYesNo;
  box.secondIsDefault = true;
  // Refused while a question is open: further clicks do nothing.
  question_->Show(box);
}
