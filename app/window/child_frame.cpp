#include "app/window/child_frame.h"

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
}

CChildFrame::~CChildFrame() { document_->detachView(); }

}  // namespace tarvo::window
