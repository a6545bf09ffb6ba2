#include "BenchEvents.h"

#include "BenchModel.h"

#include <cerrno>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace hidusb {

std::string EventLogPath(const std::string& dir) { return dir + "/events.log"; }

bool AppendEvent(const std::string& dir, const BenchEvent& event)
{
    if (!ValidDeviceId(event.device) || event.name.empty())
        return false;
    return AppendToLog(EventLogPath(dir), event.device + " " + event.name + " " + std::to_string(event.arg) + "\n");
}

void EventReader::Start(const std::string& dir)
{
    file_ = EventLogPath(dir);
    struct stat st;
    offset_ = stat(file_.c_str(), &st) == 0 ? static_cast<unsigned long long>(st.st_size) : 0;
}

std::vector<BenchEvent> EventReader::Poll()
{
    std::vector<BenchEvent> events;
    if (file_.empty())
        return events;
    struct stat st;
    if (stat(file_.c_str(), &st) != 0) {
        offset_ = 0;
        return events;
    }
    unsigned long long size = static_cast<unsigned long long>(st.st_size);
    if (size < offset_)  // the log was emptied: start over
        offset_ = 0;
    if (size == offset_)
        return events;
    int fd = open(file_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return events;
    std::string chunk(static_cast<size_t>(size - offset_), '\0');
    ssize_t n = pread(fd, &chunk[0], chunk.size(), static_cast<off_t>(offset_));
    close(fd);
    if (n <= 0)
        return events;
    chunk.resize(static_cast<size_t>(n));
    size_t end = chunk.rfind('\n');
    if (end == std::string::npos)
        return events;  // a line still being written
    offset_ += end + 1;
    std::istringstream in(chunk.substr(0, end + 1));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        BenchEvent e;
        if (fields >> e.device >> e.name) {
            fields >> e.arg;
            events.push_back(e);
        }
    }
    return events;
}

}  // namespace hidusb
