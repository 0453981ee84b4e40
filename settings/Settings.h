#pragma once
// The process-wide record of the user's choices. Plain values read and changed in place by the panels
// and the frame pipeline; loaded from User_Config.xml at start and written back at exit.
#include <cstdint>
#include <string>
#include <vector>

class CKorvelMainFrm;
class CCaptureScr;

struct SubEffImg {
    int32_t SubEffType = 0;  // effect category of the picture
    std::string ImgName;     // display name
    std::string ImgPath;     // picture file
};

// Play modes shared by the song list and the media-file list, in the order of the play-mode menu.
enum PlayMode : int32_t {
    PLAY_IN_ORDER = 0,   // 顺序播放
    PLAY_LOOP_LIST = 1,  // 循环播放
    PLAY_RANDOM = 2,     // 随机播放
    PLAY_REPEAT_ONE = 3, // 单曲循环
    PLAY_ONE_ONCE = 4,   // 单曲播放
};

struct SettingsRecord {
    struct EffTypeGroup {
        int32_t EffType = 1;
    };
    EffTypeGroup Cartoon, Frame, Light, Dossal;

    struct {
        int32_t CliqueVal = 100;
    } SpecialEffect;

    struct AdjustColorGroup {
        int32_t Bright = 100;
        int32_t Contrast = 100;
        int32_t Composite = 100;
        int32_t Red = 0;
        int32_t Green = 0;
        int32_t Blue = 0;
        bool Forbid = true;
    } AdjustColor;

    struct InnerImgGroup {
        int32_t FloatType = 0;
        int32_t HOffset = 50;
        int32_t VOffset = 50;
        int32_t ZoomSize = 60;
        int32_t Contrast = 100;
        bool Close = true;
        std::string FrontImg;
        std::string BackImg;
    } InnerImg;

    struct {
        std::string DefImg;
    } CameraSrc;

    struct AddFontGroup {
        std::string Content;
        std::string FontName = "宋体";
        int32_t FontSize = 12;
        int32_t FontHeight = 0;
        uint32_t FontCor = 0x000000;
        uint32_t BackGrdCor = 0xFFFFFF;
        int32_t ChangeType = 0;
        int32_t ChangSpeed = 30;
        bool Close = true;
    } AddFont;

    std::vector<SubEffImg> SubEffImgInfo;
    std::vector<std::string> ImgScrPath;

    struct {
        std::string MyPhotoPath;
        std::string RecordPath;
        std::string SongPath;
        std::string LyricPath;
    } SavePath;

    struct {
        int32_t Musiz = PLAY_LOOP_LIST;
        int32_t MedFile = PLAY_LOOP_LIST;
    } LoopMode;

    // Never saved.
    struct {
        int32_t Bright = 100, Contrast = 100, Composite = 100, Red = 0, Green = 0, Blue = 0;
    } AdjustColorDefaults;
    struct {
        int32_t FloatType = 0, HOffset = 50, VOffset = 50, ZoomSize = 60, Contrast = 100;
    } InnerImgDefaults;
    int32_t ExitOnClose = 0;
    uint8_t SettingChecks[10] = {0, 0, 0, 1, 1, 1, 1, 1, 1, 1};
    int32_t LyricRunning = 1;
    int32_t AudioTrack = 1;
    int32_t PlayerCreated = 0;
};

extern SettingsRecord Settings;

// The one main window and the frame sink inside it, from the start of main-window creation to its
// destruction; null outside that time.
extern CKorvelMainFrm* MainFrame;
extern CCaptureScr* CaptureSink;
