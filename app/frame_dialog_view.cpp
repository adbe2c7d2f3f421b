// Placeholder: the Qt view of the time frame dialog.
#include "app/widget_interface.h"
#include "export/frame_dialog.h"

void WidgetInterface::runFrameDialog(FrameDialog &)
{
}
