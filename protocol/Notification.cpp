#include "protocol/Notification.h"

bool ParseNotification(const ReportBuffer& report, Notification& notification) {
    if (report[1] != kNotificationMark) return false;
    notification = {report[5], report[6], report[7]};
    return true;
}
