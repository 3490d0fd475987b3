#include "app/window/child_frame.h"

#include <QCloseEvent>

#include "app/window/toolbar_icons.h"
#include "app/window/vorn_doc.h"
#include "app/window/vorn_view.h"

namespace tarvo::window {

CChildFrame::CChildFrame(CVornDoc* document, QWidget* parent)
    : QMdiSubWindow(parent), document_(document), view_(new CVornView(document->session(), this)) {
  document_->attachView();
  setAttribute(Qt::WA_DeleteOnClose);
  setWidget(view_);
  setWindowIcon(applicationIcon());
  setWindowTitle(document_->title());
  connect(document_, &CVornDoc::titleChanged, this, &QWidget::setWindowTitle);
  // What the first paint shows is the document unchanged.
  connect(view_, &CVornView::painted, this, [this] {
    if (!document_->shownOnce()) document_->markUnchanged();
  });
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  if (document_->viewCount() == 1 && document_->isModified() && askToSave_ && !askToSave_(this)) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}

CChildFrame::~CChildFrame() { document_->detachView(); }

}  // namespace tarvo::window
