#include "Picture.h"

#include <sstream>

namespace tarnwood::test {

double Picture::Share(double x0, double y0, double x1, double y1, const std::function<bool(int r, int g, int b)>& test) const
{
    int hits = 0;
    int total = 0;
    for (int y = static_cast<int>(y0 * height); y < static_cast<int>(y1 * height); ++y) {
        for (int x = static_cast<int>(x0 * width); x < static_cast<int>(x1 * width); ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width)
                                    + static_cast<std::size_t>(x))
                * 3;
            hits += test(static_cast<unsigned char>(rgb[at]), static_cast<unsigned char>(rgb[at + 1]),
                         static_cast<unsigned char>(rgb[at + 2]))
                ? 1
                : 0;
            ++total;
        }
    }
    return total == 0 ? 0.0 : static_cast<double>(hits) / total;
}

bool ReadPpm(const std::string& bytes, Picture& picture)
{
    std::istringstream in(bytes);
    std::string magic;
    int maxval = 0;
    in >> magic >> picture.width >> picture.height >> maxval;
    if (magic != "P6" || maxval != 255 || picture.width <= 0 || picture.height <= 0)
        return false;
    in.get();
    const std::size_t size = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3;
    picture.rgb.resize(size);
    in.read(picture.rgb.data(), static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

std::string WritePpm(const Picture& picture)
{
    return "P6\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n255\n" + picture.rgb;
}

}
