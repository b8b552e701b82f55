#pragma once
// An ordered list of images (each a strip with a frame count and an id).
#include <memory>
#include <string>
#include <vector>

#include "orvix/platform/Canvas.h"
#include "orvix/platform/Image.h"

namespace Orvix {

struct ImageListItem {
    std::shared_ptr<Image> image;
    int frameWidth = 0;
    int height = 0;
    int count = 1;
    int id = 0;
    std::wstring path;
};

class MImageList {
public:
    // Paths are used unchanged. Returns the new index.
    int AddImage(const wchar_t* path, int count, int id);
    // Inserts before index (-1 appends); -1 for a null path or a bad index.
    int InsertImage(int index, const wchar_t* path, int count, int id);
    // Frame 0 stretched into the rect.
    void DrawItemIcon(Canvas& canvas, CRect rect, int index) const;
    // Frame `state` (limited to the last frame) at natural size, centred.
    void DrawItemIcon(Canvas& canvas, CRect rect, int index, int state) const;
    void SetDrawImgSize(int cx, int cy) { m_drawSize = {cx, cy}; }
    CSize GetIconSize() const { return m_drawSize; }
    const ImageListItem* GetItemImageData(int index) const;
    const ImageListItem* GetImageDataByID(int id) const;
    std::wstring GetImagePath(int index) const;
    std::wstring GetImagePathByID(int id) const;
    int GetImageCount() const { return int(m_items.size()); }
    void DelAllImages() { m_items.clear(); }

private:
    std::vector<ImageListItem> m_items;
    CSize m_drawSize;
};

}  // namespace Orvix
