#include "transport/usb_devices.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace transport {
namespace fs = std::filesystem;
namespace {

struct Candidate {
    UsbPrinter printer;
    std::string interface;  // the interface directory's name, "1-1.2:1.0"
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "lp" followed by digits only: the USB printer driver's class entries.
bool IsPrinterEntry(const std::string& name)
{
    return name.size() > 2 && name.compare(0, 2, "lp") == 0 &&
           std::all_of(name.begin() + 2, name.end(), IsDigit);
}

// A sysfs identifier file: four hex digits and a line end.
std::optional<unsigned> ReadIdFile(const fs::path& file)
{
    std::ifstream in(file);
    std::string text;
    if (!in || !std::getline(in, text))
        return std::nullopt;
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    if (text.size() != 4 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    return unsigned(std::stoul(text, nullptr, 16));  // four hex digits: cannot throw
}

bool NodeExists(const std::string& node)
{
    struct stat st {};
    return ::stat(node.c_str(), &st) == 0;
}

std::optional<Candidate> CandidateFor(const platform::DeviceRoots& roots, const fs::path& classEntry,
                                      const std::string& entryName)
{
    std::error_code ec;
    fs::path interface = fs::canonical(classEntry / "device", ec);
    if (ec || !interface.has_parent_path())
        return std::nullopt;
    fs::path device = interface.parent_path();
    std::optional<unsigned> vendor = ReadIdFile(device / "idVendor");
    std::optional<unsigned> product = ReadIdFile(device / "idProduct");
    if (!vendor || !product)
        return std::nullopt;
    Candidate c;
    c.printer.device = device.filename().string();
    c.printer.path = UsbPathText(*vendor, *product, c.printer.device);
    c.printer.node = roots.dev + "/usb/" + entryName;
    c.interface = interface.filename().string();
    if (c.printer.device.empty() || !NodeExists(c.printer.node))
        return std::nullopt;
    return c;
}

}  // namespace

std::string UsbPathText(unsigned vendor, unsigned product, const std::string& device)
{
    char ids[32];
    std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x", vendor & 0xFFFFu, product & 0xFFFFu);
    return "usb#" + std::string(ids) + "#" + device;
}

bool NaturalLess(const std::string& a, const std::string& b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            size_t ie = i, je = j;
            while (ie < a.size() && IsDigit(a[ie]))
                ++ie;
            while (je < b.size() && IsDigit(b[je]))
                ++je;
            // Compare the runs by value without converting: strip leading zeros, then the
            // longer run is the larger number, and equal lengths compare digit by digit.
            size_t is = i, js = j;
            while (is + 1 < ie && a[is] == '0')
                ++is;
            while (js + 1 < je && b[js] == '0')
                ++js;
            if (ie - is != je - js)
                return ie - is < je - js;
            int c = a.compare(is, ie - is, b, js, je - js);
            if (c != 0)
                return c < 0;
            i = ie;
            j = je;
            continue;
        }
        if (a[i] != b[j])
            return (unsigned char)a[i] < (unsigned char)b[j];
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return j < b.size();  // the one that ran out first is the prefix
    return a < b;
}

std::vector<UsbPrinter> FindUsbPrinters(const platform::DeviceRoots& roots)
{
    std::vector<Candidate> found;
    const fs::path classDir = fs::path(roots.sys) / "class" / "usbmisc";
    std::error_code ec;
    fs::directory_iterator it(classDir, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!IsPrinterEntry(name))
            continue;
        if (std::optional<Candidate> c = CandidateFor(roots, it->path(), name))
            found.push_back(std::move(*c));
    }
    std::sort(found.begin(), found.end(), [](const Candidate& x, const Candidate& y) {
        if (x.printer.device != y.printer.device)
            return NaturalLess(x.printer.device, y.printer.device);
        return NaturalLess(x.interface, y.interface);
    });
    std::vector<UsbPrinter> printers;
    for (Candidate& c : found) {
        if (printers.empty() || printers.back().device != c.printer.device)
            printers.push_back(std::move(c.printer));
    }
    return printers;
}

std::optional<UsbPrinter> FindUsbPrinter(const platform::DeviceRoots& roots, const std::string& path)
{
    for (UsbPrinter& p : FindUsbPrinters(roots)) {
        if (p.path == path)
            return std::move(p);
    }
    return std::nullopt;
}

}  // namespace transport
