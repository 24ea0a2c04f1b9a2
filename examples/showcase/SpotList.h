// The showcase's named camera spots and their file of its own. The file is a
// vMemoryBuffer stream:
//
//   "VXSP"  int version (1)  int count (0 ... kMaxSpots)
//   count x { int name length (1 ... kMaxNameLength), name bytes,
//             float x, y, z, pitch, yaw }
//
// and nothing after the last spot. Saving writes "<file>.tmp" and renames it
// over the file, so a failed save leaves the old file whole.
#pragma once

#include <string>
#include <vector>

struct ShowcaseSpot {
    std::string name;
    float x, y, z;     // the eye
    float pitch, yaw;  // radians, as vCamera keeps them
};

class SpotList {
public:
    static constexpr int kMaxSpots = 64;
    static constexpr int kMaxNameLength = 63;

    // Appends a spot; false (nothing added) when the list is full or the name
    // is empty or longer than kMaxNameLength.
    bool Add(const ShowcaseSpot& spot);
    void Clear() { m_spots.clear(); }
    int Count() const { return (int)m_spots.size(); }
    // The spot at index; index must lie in 0 ... Count() - 1.
    const ShowcaseSpot& At(int index) const { return m_spots[(size_t)index]; }

    // Writes the list to fileName through a temporary file. False when either
    // step fails (the old file is then untouched), with *error naming fileName
    // and the system's reason: "Cannot write spots.dat: No space left on device".
    bool Save(const char* fileName, std::string* error) const;
    // Replaces the list with the file's spots. A missing, oversized or corrupt
    // file is refused: false, the list unchanged and the reason in *error.
    bool Load(const char* fileName, std::string* error);

private:
    std::vector<ShowcaseSpot> m_spots;
};
