#include "orvix/core/MImageList.h"

#include <algorithm>

namespace Orvix {

int MImageList::AddImage(const wchar_t* path, int count, int id) { return InsertImage(-1, path, count, id); }

int MImageList::InsertImage(int index, const wchar_t* path, int count, int id) {
    if (!path || index < -1 || index > int(m_items.size())) return -1;
    ImageListItem item;
    item.image = Image::Load(path);
    item.count = std::max(1, count);
    item.frameWidth = item.image ? item.image->GetWidth() / item.count : 0;
    item.height = item.image ? item.image->GetHeight() : 0;
    item.id = id;
    item.path = path;
    if (index == -1) index = int(m_items.size());
    m_items.insert(m_items.begin() + index, std::move(item));
    return index;
}

void MImageList::DrawItemIcon(Canvas& canvas, CRect rect, int index) const {
    const ImageListItem* item = GetItemImageData(index);
    if (!item || !item->image) return;
    canvas.DrawImage(*item->image, rect, CRect(0, 0, item->frameWidth, item->height));
}

void MImageList::DrawItemIcon(Canvas& canvas, CRect rect, int index, int state) const {
    const ImageListItem* item = GetItemImageData(index);
    if (!item || !item->image) return;
    int frame = std::clamp(state, 0, item->count - 1);
    int x = rect.left + (rect.Width() - item->frameWidth) / 2, y = rect.top + (rect.Height() - item->height) / 2;
    canvas.DrawImage(*item->image, CRect(x, y, x + item->frameWidth, y + item->height),
                     CRect(frame * item->frameWidth, 0, (frame + 1) * item->frameWidth, item->height));
}

const ImageListItem* MImageList::GetItemImageData(int index) const {
    return index >= 0 && index < int(m_items.size()) ? &m_items[size_t(index)] : nullptr;
}

const ImageListItem* MImageList::GetImageDataByID(int id) const {
    auto it = std::find_if(m_items.begin(), m_items.end(), [id](const ImageListItem& i) { return i.id == id; });
    return it == m_items.end() ? nullptr : &*it;
}

std::wstring MImageList::GetImagePath(int index) const {
    const ImageListItem* item = GetItemImageData(index);
    return item ? item->path : L"";
}

std::wstring MImageList::GetImagePathByID(int id) const {
    const ImageListItem* item = GetImageDataByID(id);
    return item ? item->path : L"";
}

}  // namespace Orvix
