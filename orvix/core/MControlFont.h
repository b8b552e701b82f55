#pragma once
// The base of every control that shows text and/or a skin image strip.
#include <string>

#include "orvix/core/MControl.h"

namespace Orvix {

struct ImgResInfo;

class MControlFont : public MControl {
public:
    void DescribeAccessible(AccessibleInfo& info) override;
    MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* title = nullptr, BOOL visible = TRUE,
                 BOOL enabled = TRUE);

    // ---- virtual hooks added by this class ----
    virtual void SetTextFont(const std::wstring& name);
    virtual void SetTextColor(Color color);
    virtual BOOL SetImage(UINT resId, const std::wstring& resType, int count);
    virtual BOOL SetImage(const wchar_t* file, int count = 4);
    virtual void SetControlTitle(const wchar_t* title);
    virtual std::wstring GetControlTitle();

    void SetTitle(const wchar_t* title);
    void SetTitle(const std::wstring& title) { SetTitle(title.c_str()); }
    std::wstring GetTitle() { return GetControlTitle(); }
    void SetFont(const wchar_t* name, int size, int style);
    void SetFontName(const std::wstring& name) { SetTextFont(name); }
    void SetFontWidth(int size) { m_fontSize = size; }
    int GetFontWidth() const { return m_fontSize; }
    void SetFontStyle(int style) { m_fontStyle = style; }
    int GetFontStyle() const { return m_fontStyle; }
    const std::wstring& GetTextFont() const { return m_fontName; }
    Color GetTextColor() const { return m_textColor; }
    void SetAlignment(UINT h);
    void SetVAlignment(UINT v);
    void SetAlignment(UINT h, UINT v);
    void GetAlignment(UINT& h, UINT& v) const { h = m_hAlign, v = m_vAlign; }
    void SetTextRenderingHint(int hint) { m_renderingHint = hint; }
    int GetTextRenderingHint() const { return m_renderingHint; }

    void SetImageCount(int count);
    CSize GetImageSize() const { return {m_frameWidth, m_frameHeight}; }
    int GetImageCount() const { return m_frameCount; }
    const std::wstring& GetImagePath() const { return m_imagePath; }
    // The state frame i of the control's strip: (i * frame width, 0, frame width, height).
    CRect GetFrameRect(int frame) const;
    const Image* GetImage() const { return m_image; }
    // The family to draw with (private font, installed family or empty = no text).
    std::wstring GetFontFamily(const std::wstring& name) const;
    // The text style of this control's font, alignment and given wrap.
    TextStyle GetTextStyle(bool multiLine = false) const;

protected:
    // Draws text in the control's font and colour inside `rect`.
    void DrawTitleText(Canvas& canvas, const std::wstring& text, const CRect& rect, Color color,
                       bool multiLine = false) const;

    std::wstring m_title;
    std::wstring m_fontName;
    int m_fontSize;
    Color m_textColor = Color(0xFFFFFFFF);
    int m_fontStyle = 0;
    UINT m_hAlign = 0;
    UINT m_vAlign = 4;
    int m_renderingHint = 5;
    const Image* m_image = nullptr;  // owned by the window's image cache
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_frameCount = 4;
    std::wstring m_imagePath;

private:
    BOOL TakeImage(ImgResInfo* info, const std::wstring& path);
};

}  // namespace Orvix
