#include "bridge/permission_table.h"

#include "platform/text_codec.h"

namespace tarnel {
namespace {

struct PermissionRow {
    const char* name;
    const char* description;  // UTF-8
};

constexpr PermissionRow kRows[] = {
    {"android.permission.ACCESS_COARSE_LOCATION", "允许获取粗略的位置信息"},
    {"android.permission.ACCESS_FINE_LOCATION", "允许访问GPS"},
    {"android.permission.ACCESS_NETWORK_STATE", "允许访问网络信息"},
    {"android.permission.ACCESS_WIFI_STATE", "允许访问Wi-Fi网络状态信息"},
    {"android.permission.ADD_SYSTEM_SERVICE", "允许发布系统级服务"},
    {"android.permission.BATTERY_STATS", "允许更新手机电池统计信息"},
    {"android.permission.BLUETOOTH", "允许访问蓝牙设备"},
    {"android.permission.BLUETOOTH_ADMIN", "允许访问蓝牙设备"},
    {"android.permission.BRICK", "允许禁用设备(非常危险)"},
    {"android.permission.CALL_PRIVILEGED", "允许访问拨号程序(危险)"},
    {"android.permission.CAMERA", "允许访问使用照相设备"},
    {"android.permission.CHANGE_CONFIGURATION", "允许修改当前设置"},
    {"android.permission.CHANGE_NETWORK_STATE", "允许改变网络连接状态"},
    {"android.permission.CHANGE_WIFI_STATE", "允许改变Wi-Fi连接状态"},
    {"android.permission.CLEAR_APP_CACHE", "允许清除设备已安装程序的缓存"},
    {"android.permission.CLEAR_APP_USER_DATA", "允许清除用户设置"},
    {"android.permission.DELETE_CACHE_FILES", "允许删除缓存文件"},
    {"android.permission.DELETE_PACKAGES", "允许删除已安装的包(注意)"},
    {"android.permission.DEVICE_POWER", "允许访问电源管理"},
    {"android.permission.INJECT_EVENTS", "允许截获用户事件如按键、触摸、轨迹球等注意()"},
    {"android.permission.INSTALL_PACKAGES", "允许安装软件包(注意)"},
    {"android.permission.INTERNET", "允许访问网络"},
    {"android.permission.MODIFY_PHONE_STATE", "允许修改话机状态，如开关机等(注意)"},
    {"android.permission.MOUNT_UNMOUNT_FILESYSTEMS", "允许挂载和卸载文件系统可移动存储"},
    {"android.permission.PROCESS_OUTGOING_CALLS", "允许监视、修改及终止呼出的电话(注意)"},
    {"android.permission.READ_CONTACTS", "允许访问用户联系人数据(危险)"},
    {"android.permission.READ_SMS", "允许读取短信息(危险)"},
    {"android.permission.REBOOT", "允许重新启动设备"},
    {"android.permission.RECEIVE_BOOT_COMPLETED", "开机自动运行(危险)"},
    {"android.permission.RECEIVE_MMS", "允许监控彩信(危险)"},
    {"android.permission.RECEIVE_SMS", "允许监控短信(危险)"},
    {"android.permission.RECORD_AUDIO", "允许录制音频"},
    {"android.permission.RESTART_PACKAGES", "允许启动其它程序"},
    {"android.permission.SEND_SMS", "允许发送短信"},
    {"android.permission.WRITE_CONTACTS", "允许写入用户联系人数据(危险)"},
    {"android.permission.WRITE_SETTINGS", "允许读取或写入系统设置"},
    {"android.permission.WRITE_SMS", "允许写短信"},
    {"android.permission.STATUS_BAR", "允许打开、关闭或禁用状态栏及图标"},
    {"android.permission.WRITE_EXTERNAL_STORAGE", "允许读写SD卡数据"},
    {"android.permission.GET_TASKS", "允许获取任务信息"},
    {"android.permission.SYSTEM_ALERT_WINDOW", "允许弹出系统级窗口"},
    {"android.permission.WAKE_LOCK", "保持进程在休眠时从屏幕消失"},
    {"android.permission.READ_PHONE_STATE", "可查询手机状态"},
    {"com.android.launcher.permission.INSTALL_SHORTCUT", "创建桌面快捷方式"},
    {"android.permission.CHANGE_WIFI_MULTICAST_STATE", "允许进入WIFI组播模式"},
    {"android.permission.VIBRATE", "允许振动"},
    {"com.android.vending.BILLING", "获取售货帐单"},
    {"android.webkit.permission.PLUGIN", "允许添加系统挂件"},
    {"android.permission.ACCESS_DOWNLOAD_MANAGER", "允许下载文件"},
    {"com.android.launcher.permission.UNINSTALL_SHORTCUT", "允许删除快捷方式"},
    {"com.android.launcher.permission.WRITE_SETTINGS", "允许写入设置"},
    {"com.android.launcher.permission.READ_SETTINGS", "允许读取设置"},
    {"android.permission.BACKUP_DATA", "允许备份数据"},
    {"android.permission.ACCESS_COARSE_UPDATES", "允许查看粗略的更新信息"},
    {"android.permission.RAISED_THREAD_PRIORITY", "允许修改线程优先级"},
    {"android.permission.READ_USER_DICTIONARY", "允许读取用户字典"},
    {"android.permission.WRITE_USER_DICTIONARY", "允许写入用户字典"},
    {"android.permission.VIBRATION", "振动感应器"},
    {"com.android.browser.permission.READ_HISTORY_BOOKMARKS", "允许读取浏览器收藏夹和历史记录"},
    {"android.permission.WRITE_SECURE_SETTINGS", "允许读写系统安全敏感的设置项(注意)"},
    {"com.android.browser.permission.WRITE_HISTORY_BOOKMARKS", "写入浏览器历史记录或收藏夹"},
    {"android.permission.USE_SIP", "允许使用SIP视频服务"},
    {"android.permission.USE_CREDENTIALS", "允许从客户管理中请求验证"},
    {"android.permission.UPDATE_DEVICE_STATS", "更新设备状态"},
    {"android.permission.SET_TIME", "设置系统时间"},
    {"com.android.alarm.permission.SET_ALARM", "设置闹铃提醒"},
    {"android.permission.NFC", "允许执行NFC近距离通讯操作"},
    {"android.permission.MOUNT_FORMAT_FILESYSTEMS", "允许格式化者移动存储设备(危险)"},
    {"android.permission.MASTER_CLEAR", "允许执行软格式化，删除系统配置信息(危险)"},
    {"android.permission.KILL_BACKGROUND_PROCESSES", "允许结束后台进程(注意)"},
    {"android.permission.INSTALL_LOCATION_PROVIDER", "安装定位提供者"},
    {"android.permission.GLOBAL_SEARCH", "允许使用全局搜索功能"},
    {"android.permission.BIND_DEVICE_ADMIN", "请求系统管理员接收者"},
    {"android.permission.BIND_APPWIDGET", "允许访问小插件的数据库"},
    {"android.permission.SET_WALLPAPER", "允许设置壁纸"},
    {"android.permission.SET_TIME_ZONE", "设置系统时区"},
    {"android.permission.SET_WALLPAPER_HINTS", "允许设置壁纸提示"},
    {"android.permission.SET_PROCESS_LIMIT", "允许设置最大的进程数量限制"},
    {"android.permission.SET_PROCESS_FOREGROUND", "允许当前运行程序强行到前台"},
    {"android.permission.SET_ORIENTATION", "设置屏幕方向为横屏或标准方式显示"},
    {"android.permission.SET_DEBUG_APP", "设置调试程序"},
    {"android.permission.SET_ANIMATION_SCALE", "设置全局动画缩放"},
    {"android.permission.SET_ALWAYS_FINISH", "设置程序在后台是否总是退出"},
    {"android.permission.SET_ACTIVITY_WATCHER", "设置观察器"},
    {"android.permission.RECEIVE_WAP_PUSH", "接收网络推送信息"},
    {"android.permission.READ_SYNC_SETTINGS", "读取同步设置，读取Google在线同步设置"},
    {"android.permission.READ_SYNC_STATS", "读取同步状态，获得Google在线同步状态"},
    {"android.permission.READ_LOGS", "允许读取底层系统日志文件"},
    {"android.permission.READ_FRAME_BUFFER", "读取帧缓存"},
    {"android.permission.READ_INPUT_STATE", "读取当前键的输入状态"},
    {"android.permission.READ_CALENDAR", "允许读取用户的日程信息(注意)"},
    {"android.permission.PERSISTENT_ACTIVITY", "创建永久的显示界面"},
    {"android.permission.MODIFY_AUDIO_SETTINGS", "修改声音设置信息"},
    {"android.permission.INTERNAL_SYSTEM_WINDOW", "允许打开内部窗口(注意)"},
    {"android.permission.GET_PACKAGE_SIZE", "允许获取包占用空间容量"},
    {"android.permission.FORCE_BACK", "允许强行后退操作"},
    {"android.permission.FLASHLIGHT", "闪光灯设置"},
    {"android.permission.FACTORY_TEST", "工厂测试程序"},
    {"android.permission.DUMP", "允许从系统服务返回状态并抓取信息"},
    {"android.permission.DISABLE_KEYGUARD", "允许禁用键盘锁"},
    {"android.permission.DIAGNOSTIC", "允许读写诊断资源"},
    {"android.permission.CONTROL_LOCATION_UPDATES", "允许获得移动网络定位信息改变"},
    {"android.permission.CALL_PHONE", "允许初始化电话拨号不需用户确认(注意)"},
    {"android.permission.ACCESS_SURFACE_FLINGER", "图形显示支持"},
    {"android.permission.ACCESS_MOCK_LOCATION", "获取模拟定位信息"},
    {"android.permission.CHANGE_COMPONENT_ENABLED_STATE", "改变组件启用状态"},
};

}  // namespace

void BuildPermissionTable(PermissionMap& table) {
    table.clear();
    for (const PermissionRow& row : kRows) {
        std::string description = row.description;
        Utf8ToGbkInPlace(description);
        table.emplace(row.name, std::move(description));
    }
}

}  // namespace tarnel
