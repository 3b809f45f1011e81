<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutView</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>TarnBUS 测试工具</source>
        <translation>TarnBUS tester</translation>
    </message>
    <message>
        <source>TarnBUS 现场总线的调试与测试工具:扫描适配器、配置从站、测试输入输出、离线组态、固件升级。</source>
        <translation>Commissioning and test tool for the TarnBUS fieldbus: scans adapters, configures slaves, tests inputs and outputs, offline configurations, firmware upgrades.</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Qt %1&lt;/b&gt;(运行时 %2)&lt;br&gt;Qt 以 GNU 宽通用公共许可证第 3 版 (LGPL v3) 发布,其源代码及许可条款见 &lt;a href=&quot;https://www.qt.io/licensing/&quot;&gt;https://www.qt.io/licensing/&lt;/a&gt;。&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Qt %1&lt;/b&gt; (run time %2)&lt;br&gt;Qt is released under the GNU Lesser General Public License version 3 (LGPL v3); its source code and licence terms are at &lt;a href=&quot;https://www.qt.io/licensing/&quot;&gt;https://www.qt.io/licensing/&lt;/a&gt;.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;%1&lt;/b&gt;&lt;br&gt;hidapi 可按 BSD 许可证、GNU GPL v3 或原 HIDAPI 许可证使用;本程序按 BSD 许可证使用。见 &lt;a href=&quot;https://github.com/libusb/hidapi&quot;&gt;https://github.com/libusb/hidapi&lt;/a&gt;。&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;%1&lt;/b&gt;&lt;br&gt;hidapi may be used under the BSD licence, the GNU GPL v3 or the original HIDAPI licence; this program uses it under the BSD licence. See &lt;a href=&quot;https://github.com/libusb/hidapi&quot;&gt;https://github.com/libusb/hidapi&lt;/a&gt;.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;本程序中的图标与模块图片由本项目绘制。&lt;/p&gt;</source>
        <translation>&lt;p&gt;The icons and module pictures of this program are drawn by this project.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>Adapter</name>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>开启</source>
        <translation>On</translation>
    </message>
    <message>
        <source>DI滤波使能</source>
        <translation>DI filter</translation>
    </message>
    <message>
        <source>从站自动复位</source>
        <translation>Slave auto reset</translation>
    </message>
    <message>
        <source>现场总线输出错误</source>
        <translation>Outputs on fieldbus error</translation>
    </message>
    <message>
        <source>清零</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>保持</source>
        <translation>Hold</translation>
    </message>
    <message>
        <source>站号分配模式</source>
        <translation>Station assignment</translation>
    </message>
    <message>
        <source>严格组态</source>
        <translation>Strict</translation>
    </message>
    <message>
        <source>自由组态</source>
        <translation>Free</translation>
    </message>
    <message>
        <source>阈值(201-2999)</source>
        <translation>Threshold (201-2999)</translation>
    </message>
    <message>
        <source>阈值修改</source>
        <translation>Change threshold</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Disable</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
</context>
<context>
    <name>AdapterInfoView</name>
    <message>
        <source>项目</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>标识</source>
        <translation>Identification</translation>
    </message>
    <message>
        <source>模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>离线组态</source>
        <translation>Offline configuration</translation>
    </message>
    <message>
        <source>在线</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>未链接</source>
        <translation>Not linked</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>电源与状态</source>
        <translation>Power and state</translation>
    </message>
    <message>
        <source>功率：</source>
        <translation>Power:</translation>
    </message>
    <message>
        <source>温度：</source>
        <translation>Temperature:</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>异常</source>
        <translation>Fault</translation>
    </message>
    <message>
        <source>总线电源：</source>
        <translation>Bus power:</translation>
    </message>
    <message>
        <source>输入电源：</source>
        <translation>Input power:</translation>
    </message>
    <message>
        <source>通信状态：</source>
        <translation>Communication:</translation>
    </message>
    <message>
        <source>从站状态：</source>
        <translation>Slaves:</translation>
    </message>
    <message>
        <source>强制模式</source>
        <translation>Force mode</translation>
    </message>
    <message>
        <source>开启</source>
        <translation>On</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>过程映像</source>
        <translation>Process image</translation>
    </message>
    <message>
        <source>对齐方式</source>
        <translation>Alignment</translation>
    </message>
    <message>
        <source>字节对齐</source>
        <translation>Byte alignment</translation>
    </message>
    <message>
        <source>位对齐</source>
        <translation>Bit alignment</translation>
    </message>
    <message>
        <source>输入占用</source>
        <translation>Inputs used</translation>
    </message>
    <message>
        <source>输出占用</source>
        <translation>Outputs used</translation>
    </message>
    <message>
        <source>从站数量：</source>
        <translation>Slaves:</translation>
    </message>
</context>
<context>
    <name>AdapterManage</name>
    <message>
        <source>强制模式:适配器的输出由本工具强制。点击“取消强制”后全部输出关闭。</source>
        <translation>Force mode: this tool forces the adapter&apos;s outputs. &quot;Stop forcing&quot; switches all outputs off.</translation>
    </message>
    <message>
        <source>适配器链接断开:无法确认其已退出强制模式,输出可能仍处于强制状态。</source>
        <translation>Adapter link lost: cannot confirm that it left force mode; outputs may still be forced.</translation>
    </message>
    <message>
        <source>强制模式已开启</source>
        <translation>Force mode on</translation>
    </message>
    <message>
        <source>强制模式已退出,输出全部关闭</source>
        <translation>Force mode left, all outputs off</translation>
    </message>
    <message>
        <source>地址冲突: %1</source>
        <translation>Address conflict: %1</translation>
    </message>
    <message>
        <source>离线组态没有适配器。</source>
        <translation>An offline configuration has no adapter.</translation>
    </message>
    <message>
        <source>适配器未链接(链接断开或正在重启)。</source>
        <translation>The adapter is not linked (link lost or restarting).</translation>
    </message>
    <message>
        <source>开始加载从站模块</source>
        <translation>Loading the slave modules</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>串口离线，清空主站信息</source>
        <translation>Port offline, adapter information cleared</translation>
    </message>
    <message>
        <source>强制模式不可操作! </source>
        <translation>Not possible in force mode! </translation>
    </message>
    <message>
        <source>强制模式不可操作!</source>
        <translation>Not possible in force mode!</translation>
    </message>
    <message>
        <source>从站数量已达最大值,添加失败!</source>
        <translation>The number of slaves is at its maximum; adding failed!</translation>
    </message>
    <message>
        <source>从站站号最大支持128,添加%1站号失败!</source>
        <translation>Station numbers go up to 128; adding station %1 failed!</translation>
    </message>
    <message>
        <source>将离线配置的%1个模块写入适配器&quot;%2&quot;(序列号 %3)吗?
总线上UID或站号相符的同类型模块将按此配置。</source>
        <translation>Write the %1 modules of the offline configuration to the adapter &quot;%2&quot; (serial number %3)?
Modules of the same type on the bus whose UID or station number matches are configured accordingly.</translation>
    </message>
    <message>
        <source>地址冲突,下载配置失败!</source>
        <translation>Address conflict; downloading the configuration failed!</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>该适配器已在其他标签页中打开,请先关闭后再下载配置!</source>
        <translation>This adapter is open in another tab; close it there before downloading the configuration!</translation>
    </message>
    <message>
        <source>加载从站模块完成</source>
        <translation>Slave modules loaded</translation>
    </message>
    <message>
        <source>读取超时,加载数据失败！</source>
        <translation>Read timed out; loading the data failed!</translation>
    </message>
    <message>
        <source>适配器按要求重启,重启后自动重新链接。</source>
        <translation>The adapter restarts as asked and is linked again afterwards.</translation>
    </message>
    <message>
        <source>下载配置数据成功!</source>
        <translation>Configuration downloaded!</translation>
    </message>
    <message>
        <source>站点%1 %2 未配置</source>
        <translation>Station %1 %2 not configured</translation>
    </message>
    <message>
        <source>: %1</source>
        <translation>: %1</translation>
    </message>
    <message>
        <source>串口无法打开,不存在或已被占用</source>
        <translation>The port cannot be opened: it does not exist or is in use</translation>
    </message>
    <message>
        <source>读取串口数据超时,请检查串口是否正常</source>
        <translation>Reading from the port timed out; check the port</translation>
    </message>
    <message>
        <source>记录工作从机列表成功</source>
        <translation>List of working slaves recorded</translation>
    </message>
    <message>
        <source>站号：%1 (%2)</source>
        <translation>Station: %1 (%2)</translation>
    </message>
    <message>
        <source> 地址冲突</source>
        <translation> address conflict</translation>
    </message>
    <message>
        <source>Export excel file</source>
        <translation>Export excel file</translation>
    </message>
    <message>
        <source>导出从站配置数据失败! %1</source>
        <translation>Exporting the slave configuration failed! %1</translation>
    </message>
    <message>
        <source>导出从站配置数据成功!</source>
        <translation>Slave configuration exported!</translation>
    </message>
    <message>
        <source>%1个从站未设定站号,不带UID的文件无法导入它们,请使用带UID导出</source>
        <translation>%1 slaves have no station number; a file without UIDs cannot import them, export with UIDs</translation>
    </message>
    <message>
        <source>Import excel file</source>
        <translation>Import excel file</translation>
    </message>
    <message>
        <source>文件中没有从站配置数据</source>
        <translation>The file holds no slave configuration</translation>
    </message>
    <message>
        <source>……共%1处错误</source>
        <translation>… %1 errors in all</translation>
    </message>
    <message>
        <source>配置文件有误,未导入任何数据:</source>
        <translation>The configuration file has errors; nothing was imported:</translation>
    </message>
    <message>
        <source>导入数据完成，是否开始批量配置？</source>
        <translation>Import done. Configure the modules now?</translation>
    </message>
    <message>
        <source>消息</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>离线组态</source>
        <translation>Offline configuration</translation>
    </message>
    <message>
        <source>消息日志: %1</source>
        <translation>Message log: %1</translation>
    </message>
    <message>
        <source>写入适配器参数后适配器将重启，是否继续？</source>
        <translation>The adapter restarts after its settings are written. Continue?</translation>
    </message>
    <message>
        <source>写入 %1: %2</source>
        <translation>Write %1: %2</translation>
    </message>
    <message>
        <source>配置不变</source>
        <translation>Configuration unchanged</translation>
    </message>
    <message>
        <source>站点数据异常!</source>
        <translation>Bad station data!</translation>
    </message>
    <message>
        <source>站点不存在，不可操作!</source>
        <translation>The station does not exist!</translation>
    </message>
    <message>
        <source>该模块未分配IO地址,不可测试!</source>
        <translation>This module has no IO addresses and cannot be tested!</translation>
    </message>
    <message>
        <source>强制输出: %1 输出%2 = %3</source>
        <translation>Forced output: %1 output %2 = %3</translation>
    </message>
    <message>
        <source>地址占用 — %1</source>
        <translation>Address use — %1</translation>
    </message>
    <message>
        <source>送站数量超出128个,不可保存!</source>
        <translation>More than 128 stations; cannot save!</translation>
    </message>
    <message>
        <source>修改失败!错误码:0x</source>
        <translation>Change failed! Error code: 0x</translation>
    </message>
    <message>
        <source>从站不在线!</source>
        <translation>The slave is offline!</translation>
    </message>
    <message>
        <source>从站站号冲突,设置失败!</source>
        <translation>Station number conflict; setting failed!</translation>
    </message>
    <message>
        <source>从站地址冲突,设置失败!</source>
        <translation>Slave address conflict; setting failed!</translation>
    </message>
    <message>
        <source>强制状态，不可点灯!</source>
        <translation>Cannot light the locator lamp in force mode!</translation>
    </message>
    <message>
        <source>输入量地址冲突!</source>
        <translation>Input address conflict!</translation>
    </message>
    <message>
        <source>输出量地址冲突!</source>
        <translation>Output address conflict!</translation>
    </message>
    <message>
        <source>通信异常,设置失败!</source>
        <translation>Communication fault; setting failed!</translation>
    </message>
    <message>
        <source>组态匹配完成!</source>
        <translation>Configuration matched!</translation>
    </message>
    <message>
        <source>修改从站配置成功!</source>
        <translation>Slave configuration changed!</translation>
    </message>
    <message>
        <source>输入量地址冲突,设置失败!</source>
        <translation>Input address conflict; setting failed!</translation>
    </message>
    <message>
        <source>输出量地址冲突,设置失败!</source>
        <translation>Output address conflict; setting failed!</translation>
    </message>
    <message>
        <source>输入量地址超限,设置失败!</source>
        <translation>Input address out of range; setting failed!</translation>
    </message>
    <message>
        <source>输出量地址超限,设置失败!</source>
        <translation>Output address out of range; setting failed!</translation>
    </message>
    <message>
        <source>参数错误,设置失败!</source>
        <translation>Bad parameter; setting failed!</translation>
    </message>
    <message>
        <source>自动配置地址完成!</source>
        <translation>Addresses allocated!</translation>
    </message>
    <message>
        <source>开始下载CSV文件配置到适配器</source>
        <translation>Downloading the CSV configuration to the adapter</translation>
    </message>
    <message>
        <source>TB下载配置完成！</source>
        <translation>Configuration downloaded!</translation>
    </message>
    <message>
        <source>正在设置第%1个从站,请稍后！</source>
        <translation>Configuring slave %1, please wait!</translation>
    </message>
    <message>
        <source>设备链接异常，TB下载配置失败！</source>
        <translation>Device link fault; downloading the configuration failed!</translation>
    </message>
    <message>
        <source>TB下载配置失败！</source>
        <translation>Downloading the configuration failed!</translation>
    </message>
    <message>
        <source>参数配置中，请稍后!</source>
        <translation>Configuring parameters, please wait!</translation>
    </message>
    <message>
        <source>强制状态不可操作!</source>
        <translation>Not possible in force mode!</translation>
    </message>
    <message>
        <source>TB配置修改成功!</source>
        <translation>Configuration changed!</translation>
    </message>
    <message>
        <source>配置站点 %1 成功！</source>
        <translation>Station %1 configured!</translation>
    </message>
    <message>
        <source>TARNBUS通信,CRC校验错误！</source>
        <translation>TarnBUS communication: CRC error!</translation>
    </message>
    <message>
        <source>TARNBUS通信,操作指令校验错误！</source>
        <translation>TarnBUS communication: command check error!</translation>
    </message>
    <message>
        <source>TarnBUS通信超时！</source>
        <translation>TarnBUS communication timed out!</translation>
    </message>
    <message>
        <source>TarnBUS通信中断!</source>
        <translation>TarnBUS communication interrupted!</translation>
    </message>
    <message>
        <source>操作失败！TARNBUS主站重启中，请稍后...</source>
        <translation>Operation failed! The TarnBUS adapter is restarting, please wait...</translation>
    </message>
    <message>
        <source>TARNBUS适配器拒绝执行,操作失败!</source>
        <translation>The TarnBUS adapter refused; operation failed!</translation>
    </message>
    <message>
        <source>TarnBUS通信,CRC校验错误！</source>
        <translation>TarnBUS communication: CRC error!</translation>
    </message>
    <message>
        <source>适配器拒绝执行</source>
        <translation>the adapter refused</translation>
    </message>
    <message>
        <source>通信超时</source>
        <translation>timed out</translation>
    </message>
    <message>
        <source>CRC校验错误</source>
        <translation>CRC error</translation>
    </message>
    <message>
        <source>应答指令校验错误</source>
        <translation>reply command check error</translation>
    </message>
    <message>
        <source>链接断开</source>
        <translation>link lost</translation>
    </message>
    <message>
        <source>适配器报告通信错误</source>
        <translation>the adapter reports a communication error</translation>
    </message>
    <message>
        <source>设备忙</source>
        <translation>device busy</translation>
    </message>
    <message>
        <source>无应答数据</source>
        <translation>no reply data</translation>
    </message>
    <message>
        <source>通信失败</source>
        <translation>communication failed</translation>
    </message>
    <message>
        <source>(站号%1)</source>
        <translation> (station %1)</translation>
    </message>
    <message>
        <source>%1失败%2: %3!</source>
        <translation>%1 failed%2: %3!</translation>
    </message>
    <message>
        <source>退出强制模式失败: %1! 输出可能仍处于强制状态,请重试。</source>
        <translation>Leaving force mode failed: %1! Outputs may still be forced; try again.</translation>
    </message>
    <message>
        <source>读取适配器参数失败: %1! 参数未知,不可修改。</source>
        <translation>Reading the adapter&apos;s settings failed: %1! They are unknown and cannot be changed.</translation>
    </message>
    <message>
        <source>保存组态</source>
        <translation>Save configuration</translation>
    </message>
    <message>
        <source>修改适配器参数</source>
        <translation>Changing the adapter&apos;s settings</translation>
    </message>
    <message>
        <source>点灯</source>
        <translation>Locator lamp</translation>
    </message>
    <message>
        <source>进入强制模式</source>
        <translation>Entering force mode</translation>
    </message>
    <message>
        <source>修改从站站号</source>
        <translation>Changing the station number</translation>
    </message>
    <message>
        <source>修改从站地址</source>
        <translation>Changing the slave&apos;s addresses</translation>
    </message>
    <message>
        <source>修改从站参数</source>
        <translation>Changing the slave&apos;s parameters</translation>
    </message>
    <message>
        <source>清除从站站号</source>
        <translation>Clearing the station number</translation>
    </message>
    <message>
        <source>下载配置</source>
        <translation>Download configuration</translation>
    </message>
    <message>
        <source>自动分配地址</source>
        <translation>Allocating addresses</translation>
    </message>
    <message>
        <source>修复重复站号</source>
        <translation>Repairing repeated stations</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>TARNBUS控制器错误,强制启动失败!</source>
        <translation>TarnBUS controller error; force mode failed to start!</translation>
    </message>
    <message>
        <source>短路/欠压,强制启动失败!</source>
        <translation>Short circuit/undervoltage; force mode failed to start!</translation>
    </message>
    <message>
        <source>从站存在异常,强制启动失败!</source>
        <translation>A slave has a fault; force mode failed to start!</translation>
    </message>
    <message>
        <source>从站存地址冲突,强制启动失败! </source>
        <translation>Slave address conflict; force mode failed to start! </translation>
    </message>
    <message>
        <source>TarnBUS重新链接!</source>
        <translation>TarnBUS linked again!</translation>
    </message>
    <message>
        <source>TarnBUS链接断开!</source>
        <translation>TarnBUS link lost!</translation>
    </message>
    <message>
        <source>TARNBUS通信中断,操作失败!</source>
        <translation>TarnBUS communication interrupted; operation failed!</translation>
    </message>
    <message>
        <source>适配器正忙,下载配置失败!</source>
        <translation>The adapter is busy; downloading the configuration failed!</translation>
    </message>
    <message>
        <source>TARNBUS进入配置模式失败! </source>
        <translation>TarnBUS failed to enter configuration mode! </translation>
    </message>
    <message>
        <source>配置失败，设备数量不可为空！</source>
        <translation>Configuration failed: the number of devices cannot be zero!</translation>
    </message>
    <message>
        <source>保存组态成功! 主站已重启,请重新链接</source>
        <translation>Configuration saved! The adapter restarted; link it again</translation>
    </message>
    <message>
        <source>输出量地址冲突，强制启动失败! </source>
        <translation>Output address conflict; force mode failed to start! </translation>
    </message>
    <message>
        <source>输入量地址冲突，强制启动失败! </source>
        <translation>Input address conflict; force mode failed to start! </translation>
    </message>
    <message>
        <source>TARNBUS通信中断,请检查USB! </source>
        <translation>TarnBUS communication interrupted; check the USB! </translation>
    </message>
    <message>
        <source>TarnBUS通信失败,数据丢失！</source>
        <translation>TarnBUS communication failed; data lost!</translation>
    </message>
    <message>
        <source>站号不可大于128,请重新设置。</source>
        <translation>Station numbers cannot exceed 128; set it again.</translation>
    </message>
    <message>
        <source>TARNBUS通信失败!</source>
        <translation>TarnBUS communication failed!</translation>
    </message>
    <message>
        <source>TARNBUS通信超时!</source>
        <translation>TarnBUS communication timed out!</translation>
    </message>
    <message>
        <source>USB未连接,无法读写!</source>
        <translation>USB not connected; cannot read or write!</translation>
    </message>
    <message>
        <source>当前站号配置类型与实际类型不相同! </source>
        <translation>The configured type of this station differs from the actual type! </translation>
    </message>
    <message>
        <source>error </source>
        <translation>error </translation>
    </message>
    <message>
        <source>适配器参数未能读取,不可修改!</source>
        <translation>The adapter&apos;s settings could not be read and cannot be changed!</translation>
    </message>
    <message>
        <source>站点%1 %2 导入数据成功!</source>
        <translation>Station %1 %2 imported!</translation>
    </message>
    <message>
        <source>站点%1 %2 没有站号也没有UID,无法对应从站(只能对应同类型的本地模块),已跳过该行</source>
        <translation>Station %1 %2 has neither a station number nor a UID and matches no slave (only a local module of the same type); line skipped</translation>
    </message>
    <message>
        <source>站点%1 %2无匹配类型，导入数据失败!</source>
        <translation>Station %1 %2: no module of its type; import failed!</translation>
    </message>
    <message>
        <source>总线上没有此模块</source>
        <translation>not on the bus</translation>
    </message>
    <message>
        <source>总线上的模块类型不同</source>
        <translation>a different type on the bus</translation>
    </message>
    <message>
        <source>没有设备描述</source>
        <translation>no device description</translation>
    </message>
</context>
<context>
    <name>AdapterSession</name>
    <message>
        <source>leaving force mode</source>
        <translation>leaving force mode</translation>
    </message>
    <message>
        <source>waiting for the bus scan (%1)</source>
        <translation>waiting for the bus scan (%1)</translation>
    </message>
    <message>
        <source>loading modules: %1</source>
        <translation>loading modules: %1</translation>
    </message>
    <message>
        <source>writing modules: %1</source>
        <translation>writing modules: %1</translation>
    </message>
</context>
<context>
    <name>AdapterSettings</name>
    <message>
        <source>阈值须在%1到%2之间: %3</source>
        <translation>The threshold must be between %1 and %2: %3</translation>
    </message>
</context>
<context>
    <name>AdapterSettingsView</name>
    <message>
        <source>DI滤波使能</source>
        <translation>DI filter</translation>
    </message>
    <message>
        <source>从站自动复位</source>
        <translation>Slave auto reset</translation>
    </message>
    <message>
        <source>现场总线输出错误</source>
        <translation>Outputs on fieldbus error</translation>
    </message>
    <message>
        <source>站号分配模式</source>
        <translation>Station assignment</translation>
    </message>
    <message>
        <source>阈值(201-2999)</source>
        <translation>Threshold (201-2999)</translation>
    </message>
    <message>
        <source>修改阈值</source>
        <translation>Change threshold</translation>
    </message>
    <message>
        <source>还原</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>写入适配器</source>
        <translation>Write to adapter</translation>
    </message>
    <message>
        <source>写入后适配器将重启,约需数秒后重新链接。</source>
        <translation>The adapter restarts after writing and is linked again within a few seconds.</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>离线组态没有适配器参数。</source>
        <translation>An offline configuration has no adapter settings.</translation>
    </message>
    <message>
        <source>适配器参数未能读取,不可修改。请重新链接适配器。</source>
        <translation>The adapter settings could not be read and cannot be changed. Link the adapter again.</translation>
    </message>
    <message>
        <source>适配器未链接,参数不可修改。</source>
        <translation>The adapter is not linked; its settings cannot be changed.</translation>
    </message>
    <message>
        <source>强制模式下不可修改适配器参数。</source>
        <translation>The adapter&apos;s settings cannot be changed in force mode.</translation>
    </message>
</context>
<context>
    <name>AddressConflicts</name>
    <message>
        <source>输入区</source>
        <translation>Inputs</translation>
    </message>
    <message>
        <source>输出区</source>
        <translation>Outputs</translation>
    </message>
    <message>
        <source>本地模块 (%1)</source>
        <translation>Local module (%1)</translation>
    </message>
    <message>
        <source>未设定站号的 %1 (%2)</source>
        <translation>%1 without a station number (%2)</translation>
    </message>
    <message>
        <source>站号%1 (%2)</source>
        <translation>Station %1 (%2)</translation>
    </message>
    <message>
        <source>%1 与 %2 的%3重叠 %4 位 (%5)</source>
        <translation>%1 and %2 overlap by %4 bits in the %3 (%5)</translation>
    </message>
    <message>
        <source>重叠 %1 位 (%2)</source>
        <translation>%1 bits overlap (%2)</translation>
    </message>
    <message>
        <source>%1与%2%3</source>
        <translation>%1 and %2%3</translation>
    </message>
</context>
<context>
    <name>AutoConfigView</name>
    <message>
        <source>自动分配地址</source>
        <translation>Allocate addresses</translation>
    </message>
    <message>
        <source>输入占用</source>
        <translation>Inputs used</translation>
    </message>
    <message>
        <source>Bit</source>
        <translation>Bit</translation>
    </message>
    <message>
        <source>输出占用</source>
        <translation>Outputs used</translation>
    </message>
    <message>
        <source>color: rgb(200, 0, 0);
font: 75 10pt &quot;Arial&quot;;</source>
        <translation>color: rgb(200, 0, 0);
font: 75 10pt &quot;Arial&quot;;</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>警告:输入(出)超限</source>
        <translation>Warning: inputs and outputs out of range</translation>
    </message>
    <message>
        <source>警告:输入超限</source>
        <translation>Warning: inputs out of range</translation>
    </message>
    <message>
        <source>警告:输出超限</source>
        <translation>Warning: outputs out of range</translation>
    </message>
</context>
<context>
    <name>CheckoutPdf</name>
    <message>
        <source>打印需要图形环境</source>
        <translation>Printing needs a graphical session</translation>
    </message>
    <message>
        <source>无法创建文件夹 %1</source>
        <translation>Cannot create the folder %1</translation>
    </message>
    <message>
        <source>IO检查报告 %1</source>
        <translation>IO check-out report %1</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>bit or byte alignment (default: the window&apos;s, ~/.config/tarnbus-tester/setByte.ini)</source>
        <translation>bit or byte alignment (default: the window&apos;s, ~/.config/tarnbus-tester/setByte.ini)</translation>
    </message>
    <message>
        <source>
Example, on the demonstration bus of the virtual adapter (sim/buses/demo.json in a checkout):
  </source>
        <translation>
Example, on the demonstration bus of the virtual adapter (sim/buses/demo.json in a checkout):
  </translation>
    </message>
    <message>
        <source>
Run &apos;%1 COMMAND --help&apos; for a command&apos;s arguments; the manual page (man %1) and
docs/cli.md have the details.
</source>
        <translation>
Run &apos;%1 COMMAND --help&apos; for a command&apos;s arguments; the manual page (man %1) and
docs/cli.md have the details.
</translation>
    </message>
    <message>
        <source>the device descriptions the tool reads</source>
        <translation>the device descriptions the tool reads</translation>
    </message>
    <message>
        <source>Lists the device description files in the order they are read, with the number of module types
each describes: the user&apos;s data folder (~/.local/share/tarnbus-tester/Xml) first, then the
system&apos;s (/usr/share/tarnbus-tester/Xml), the working folder&apos;s ./Xml and share/tarnbus-tester
beside the program. A file hides those of the same name after it. Does not talk to an adapter.</source>
        <translation>Lists the device description files in the order they are read, with the number of module types
each describes: the user&apos;s data folder (~/.local/share/tarnbus-tester/Xml) first, then the
system&apos;s (/usr/share/tarnbus-tester/Xml), the working folder&apos;s ./Xml and share/tarnbus-tester
beside the program. A file hides those of the same name after it. Does not talk to an adapter.</translation>
    </message>
    <message>
        <source>import a device description</source>
        <translation>import a device description</translation>
    </message>
    <message>
        <source>Imports a device description file (plain or scrambled) into the user&apos;s data folder, as the
window&apos;s &quot;导入XML文件&quot; does: under its name up to the first &quot;.&quot; (io.module.rev.xml becomes
io.xml), replacing the user&apos;s file of that name and hiding a shipped one. A file that is not
well-formed or describes no module is refused (status 2) and nothing is written. Does not talk
to an adapter.</source>
        <translation>Imports a device description file (plain or scrambled) into the user&apos;s data folder, as the
window&apos;s &quot;Import XML file&quot; does: under its name up to the first &quot;.&quot; (io.module.rev.xml becomes
io.xml), replacing the user&apos;s file of that name and hiding a shipped one. A file that is not
well-formed or describes no module is refused (status 2) and nothing is written. Does not talk
to an adapter.</translation>
    </message>
    <message>
        <source>FILE   the description file (.xml)</source>
        <translation>FILE   the description file (.xml)</translation>
    </message>
    <message>
        <source>no device descriptions (Xml folder) in %1</source>
        <translation>no device descriptions (Xml folder) in %1</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>MODULES</source>
        <translation>MODULES</translation>
    </message>
    <message>
        <source>unreadable</source>
        <translation>unreadable</translation>
    </message>
    <message>
        <source>%1 imported as %2</source>
        <translation>%1 imported as %2</translation>
    </message>
    <message>
        <source>no device descriptions (Xml folder) in %1: modules are shown without them</source>
        <translation>no device descriptions (Xml folder) in %1: modules are shown without them</translation>
    </message>
    <message>
        <source>the language of the texts (default: the window&apos;s choice, else the system&apos;s: zh* Chinese, else English)</source>
        <translation>the language of the texts (default: the window&apos;s choice, else the system&apos;s: zh* Chinese, else English)</translation>
    </message>
    <message>
        <source>%1 and %2 share inputs %3</source>
        <translation>%1 and %2 share inputs %3</translation>
    </message>
    <message>
        <source>%1 and %2 share outputs %3</source>
        <translation>%1 and %2 share outputs %3</translation>
    </message>
    <message>
        <source> (modules share bits; nothing was written)</source>
        <translation> (modules share bits; nothing was written)</translation>
    </message>
    <message>
        <source>the adapter did not confirm the download</source>
        <translation>the adapter did not confirm the download</translation>
    </message>
    <message>
        <source>the modules take %1 input bits and %2 output bits</source>
        <translation>the modules take %1 input bits and %2 output bits</translation>
    </message>
    <message>
        <source>%1: modules that do not fit keep their areas</source>
        <translation>%1: modules that do not fit keep their areas</translation>
    </message>
    <message>
        <source>addresses allocated</source>
        <translation>addresses allocated</translation>
    </message>
    <message>
        <source>no repeated stations</source>
        <translation>no repeated stations</translation>
    </message>
    <message>
        <source>no free station number is left for %1</source>
        <translation>no free station number is left for %1</translation>
    </message>
    <message>
        <source>%1 gets station %2</source>
        <translation>%1 gets station %2</translation>
    </message>
    <message>
        <source>repeated stations repaired</source>
        <translation>repeated stations repaired</translation>
    </message>
    <message>
        <source>configuration downloaded</source>
        <translation>configuration downloaded</translation>
    </message>
    <message>
        <source>%1 (%2 modules on the bus)</source>
        <translation>%1 (%2 modules on the bus)</translation>
    </message>
    <message>
        <source>storing the configuration; the adapter restarts</source>
        <translation>storing the configuration; the adapter restarts</translation>
    </message>
    <message>
        <source>the adapter did not confirm storing the configuration</source>
        <translation>the adapter did not confirm storing the configuration</translation>
    </message>
    <message>
        <source>the adapter did not come back after storing: the stored configuration is not verified</source>
        <translation>the adapter did not come back after storing: the stored configuration is not verified</translation>
    </message>
    <message>
        <source>configuration stored; the adapter restarted (%1)</source>
        <translation>configuration stored; the adapter restarted (%1)</translation>
    </message>
    <message>
        <source>read back after the restart: the bus holds what was stored</source>
        <translation>read back after the restart: the bus holds what was stored</translation>
    </message>
    <message>
        <source>pass</source>
        <translation>pass</translation>
    </message>
    <message>
        <source>fail</source>
        <translation>fail</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>skipped</translation>
    </message>
    <message>
        <source>open</source>
        <translation>open</translation>
    </message>
    <message>
        <source>give the wiring map with --wiring FILE and the report with --report OUT.pdf</source>
        <translation>give the wiring map with --wiring FILE and the report with --report OUT.pdf</translation>
    </message>
    <message>
        <source>--settle takes milliseconds (0 to 600000), not &quot;%1&quot;</source>
        <translation>--settle takes milliseconds (0 to 600000), not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>cannot read the wiring map: %1</source>
        <translation>cannot read the wiring map: %1</translation>
    </message>
    <message>
        <source>module exchanged, its rows start again: %1</source>
        <translation>module exchanged, its rows start again: %1</translation>
    </message>
    <message>
        <source>resuming: %1 of %2 loops were checked before</source>
        <translation>resuming: %1 of %2 loops were checked before</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>cannot save the check-out: %1</source>
        <translation>cannot save the check-out: %1</translation>
    </message>
    <message>
        <source>loops: %1 pass, %2 fail, %3 open of %4</source>
        <translation>loops: %1 pass, %2 fail, %3 open of %4</translation>
    </message>
    <message>
        <source>check-out: %1 pass, %2 fail, %3 skipped, %4 open of %5 channels</source>
        <translation>check-out: %1 pass, %2 fail, %3 skipped, %4 open of %5 channels</translation>
    </message>
    <message>
        <source>report written: %1</source>
        <translation>report written: %1</translation>
    </message>
    <message>
        <source>interrupted; the loops left open are checked next time</source>
        <translation>interrupted; the loops left open are checked next time</translation>
    </message>
    <message>
        <source>the link to the adapter is lost; the loops left open are checked next time</source>
        <translation>the link to the adapter is lost; the loops left open are checked next time</translation>
    </message>
    <message>
        <source>force mode could not be entered</source>
        <translation>force mode could not be entered</translation>
    </message>
    <message>
        <source>the adapter left force mode; the loops left open are checked next time</source>
        <translation>the adapter left force mode; the loops left open are checked next time</translation>
    </message>
    <message>
        <source>a module of a loop is gone from the bus; the loops left open are checked next time</source>
        <translation>a module of a loop is gone from the bus; the loops left open are checked next time</translation>
    </message>
    <message>
        <source>the adapter to use (default: the only one on USB)</source>
        <translation>the adapter to use (default: the only one on USB)</translation>
    </message>
    <message>
        <source>the virtual adapter with this bus file instead of USB</source>
        <translation>the virtual adapter with this bus file instead of USB</translation>
    </message>
    <message>
        <source>results as JSON</source>
        <translation>results as JSON</translation>
    </message>
    <message>
        <source>no notes and no progress on standard error</source>
        <translation>no notes and no progress on standard error</translation>
    </message>
    <message>
        <source>every report to and from the adapter into FILE: a .pcap capture (Wireshark, tcpdump), else text</source>
        <translation>every report to and from the adapter into FILE: a .pcap capture (Wireshark, tcpdump), else text</translation>
    </message>
    <message>
        <source>this help, or a command&apos;s after its name</source>
        <translation>this help, or a command&apos;s after its name</translation>
    </message>
    <message>
        <source>the version of the tool</source>
        <translation>the version of the tool</translation>
    </message>
    <message>
        <source>run &apos;%1 --help&apos; for the commands</source>
        <translation>run &apos;%1 --help&apos; for the commands</translation>
    </message>
    <message>
        <source>run &apos;%1 %2 --help&apos; for its arguments</source>
        <translation>run &apos;%1 %2 --help&apos; for its arguments</translation>
    </message>
    <message>
        <source>--lang is zh or en, not &quot;%1&quot;</source>
        <translation>--lang is zh or en, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>no command given</translation>
    </message>
    <message>
        <source>no command &quot;%1&quot;</source>
        <translation>no command &quot;%1&quot;</translation>
    </message>
    <message>
        <source>usage: %1 %2 %3</source>
        <translation>usage: %1 %2 %3</translation>
    </message>
    <message>
        <source>--alignment is 1 (bits) or 8 (bytes), not &quot;%1&quot;</source>
        <translation>--alignment is 1 (bits) or 8 (bytes), not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--%1 is only for the virtual adapter (--bus)</source>
        <translation>--%1 is only for the virtual adapter (--bus)</translation>
    </message>
    <message>
        <source>--trace: cannot write &quot;%1&quot;</source>
        <translation>--trace: cannot write &quot;%1&quot;</translation>
    </message>
    <message>
        <source>trace: %1</source>
        <translation>trace: %1</translation>
    </message>
    <message>
        <source>trace: %1 reports written to %2</source>
        <translation>trace: %1 reports written to %2</translation>
    </message>
    <message>
        <source>Usage: %1 [OPTIONS] COMMAND [ARGUMENTS]
</source>
        <translation>Usage: %1 [OPTIONS] COMMAND [ARGUMENTS]
</translation>
    </message>
    <message>
        <source>Drives a TarnBUS adapter from the command line, through the same Adapter as the window.
</source>
        <translation>Drives a TarnBUS adapter from the command line, through the same Adapter as the window.
</translation>
    </message>
    <message>
        <source>Commands:
</source>
        <translation>Commands:
</translation>
    </message>
    <message>
        <source>Options of every command:
</source>
        <translation>Options of every command:
</translation>
    </message>
    <message>
        <source>Exit status: 0 success; 1 the operation failed on the bus (refused, time-out, checksum,
link lost); 2 bad usage, a bad input file or an upgrade not confirmed, nothing written to an
adapter; 3 diff: the bus differs from the file; 130 interrupted.
</source>
        <translation>Exit status: 0 success; 1 the operation failed on the bus (refused, time-out, checksum,
link lost); 2 bad usage, a bad input file or an upgrade not confirmed, nothing written to an
adapter; 3 diff: the bus differs from the file; 130 interrupted.
</translation>
    </message>
    <message>
        <source>Usage: %1 [OPTIONS] %2
</source>
        <translation>Usage: %1 [OPTIONS] %2
</translation>
    </message>
    <message>
        <source>Arguments:
</source>
        <translation>Arguments:
</translation>
    </message>
    <message>
        <source>Options:
</source>
        <translation>Options:
</translation>
    </message>
    <message>
        <source>Options of every command: --adapter SERIAL, --bus FILE, --json, --quiet, --alignment 1|8, --trace FILE,
--lang zh|en
</source>
        <translation>Options of every command: --adapter SERIAL, --bus FILE, --json, --quiet, --alignment 1|8, --trace FILE,
--lang zh|en
</translation>
    </message>
    <message>
        <source>Example:
</source>
        <translation>Example:
</translation>
    </message>
    <message>
        <source>could not leave force mode: the outputs may still be forced</source>
        <translation>could not leave force mode: the outputs may still be forced</translation>
    </message>
    <message>
        <source>the adapters on USB</source>
        <translation>the adapters on USB</translation>
    </message>
    <message>
        <source>Lists the TarnBUS adapters attached to USB: serial number (the adapter&apos;s MAC), product text,
manufacturer and USB release. Does not connect to them.</source>
        <translation>Lists the TarnBUS adapters attached to USB: serial number (the adapter&apos;s MAC), product text,
manufacturer and USB release. Does not connect to them.</translation>
    </message>
    <message>
        <source>identity, settings, power and the module table</source>
        <translation>identity, settings, power and the module table</translation>
    </message>
    <message>
        <source>Connects, reads the bus and prints the adapter&apos;s identity, settings, power and temperature, and
one row per module: station, type, class, UID, input and output areas (bit addresses),
state byte and the fault flags that read abnormal. With --stats also the link&apos;s counters
of this connection: transactions, time-outs, checksum errors, error reports, refusals,
incomplete replies, reconnects and the round trip (last, mean, max).</source>
        <translation>Connects, reads the bus and prints the adapter&apos;s identity, settings, power and temperature, and
one row per module: station, type, class, UID, input and output areas (bit addresses),
state byte and the fault flags that read abnormal. With --stats also the link&apos;s counters
of this connection: transactions, time-outs, checksum errors, error reports, refusals,
incomplete replies, reconnects and the round trip (last, mean, max).</translation>
    </message>
    <message>
        <source>also the link&apos;s counters</source>
        <translation>also the link&apos;s counters</translation>
    </message>
    <message>
        <source>print every change of the bus</source>
        <translation>print every change of the bus</translation>
    </message>
    <message>
        <source>Connects and polls the bus; prints one time-stamped line for every module added, gone or back,
every change of station, state or faults, and every loss and return of the link, until
Ctrl-C or N seconds. With --json one JSON object per line, and once a second the link&apos;s
counters (event &quot;link statistics&quot;).</source>
        <translation>Connects and polls the bus; prints one time-stamped line for every module added, gone or back,
every change of station, state or faults, and every loss and return of the link, until
Ctrl-C or N seconds. With --json one JSON object per line, and once a second the link&apos;s
counters (event &quot;link statistics&quot;).</translation>
    </message>
    <message>
        <source>stop after N seconds</source>
        <translation>stop after N seconds</translation>
    </message>
    <message>
        <source>give a module a station number</source>
        <translation>give a module a station number</translation>
    </message>
    <message>
        <source>Gives the module with this UID (as show prints it) the station number, 1 to 128. A station
another module is configured to is refused before anything is written.</source>
        <translation>Gives the module with this UID (as show prints it) the station number, 1 to 128. A station
another module is configured to is refused before anything is written.</translation>
    </message>
    <message>
        <source>UID       the module, as show prints it (or a station it alone has)</source>
        <translation>UID       the module, as show prints it (or a station it alone has)</translation>
    </message>
    <message>
        <source>STATION   the new station number, 1 to 128</source>
        <translation>STATION   the new station number, 1 to 128</translation>
    </message>
    <message>
        <source>move a module&apos;s input or output area</source>
        <translation>move a module&apos;s input or output area</translation>
    </message>
    <message>
        <source>Places the module&apos;s input and/or output area at a bit address of the 512-bit process image,
optionally with another channel count (modules whose count can change only). Areas past
bit 512 or over another module&apos;s area are refused before anything is written.</source>
        <translation>Places the module&apos;s input and/or output area at a bit address of the 512-bit process image,
optionally with another channel count (modules whose count can change only). Areas past
bit 512 or over another module&apos;s area are refused before anything is written.</translation>
    </message>
    <message>
        <source>input area: first bit, channels</source>
        <translation>input area: first bit, channels</translation>
    </message>
    <message>
        <source>output area: first bit, channels</source>
        <translation>output area: first bit, channels</translation>
    </message>
    <message>
        <source>STATION   the module: station number or UID</source>
        <translation>STATION   the module: station number or UID</translation>
    </message>
    <message>
        <source>set a module&apos;s parameters</source>
        <translation>set a module&apos;s parameters</translation>
    </message>
    <message>
        <source>Sets parameters named as in the module&apos;s description (its configuration items, for example
&quot;Filter level&quot;). VALUE is a number or one of the parameter&apos;s value texts.</source>
        <translation>Sets parameters named as in the module&apos;s description (its configuration items, for example
&quot;Filter level&quot;). VALUE is a number or one of the parameter&apos;s value texts.</translation>
    </message>
    <message>
        <source>STATION      the module: station number or UID</source>
        <translation>STATION      the module: station number or UID</translation>
    </message>
    <message>
        <source>NAME=VALUE   a parameter and its new value; quote names with blanks</source>
        <translation>NAME=VALUE   a parameter and its new value; quote names with blanks</translation>
    </message>
    <message>
        <source>clear a module&apos;s station and areas</source>
        <translation>clear a module&apos;s station and areas</translation>
    </message>
    <message>
        <source>Clears the module&apos;s configuration: it is left without station and without areas.</source>
        <translation>Clears the module&apos;s configuration: it is left without station and without areas.</translation>
    </message>
    <message>
        <source>allocate every module&apos;s addresses</source>
        <translation>allocate every module&apos;s addresses</translation>
    </message>
    <message>
        <source>Places every module&apos;s areas one after another, analog modules first, in the alignment of
--alignment or the window&apos;s setting (setByte.ini). Modules that do not fit keep their areas.</source>
        <translation>Places every module&apos;s areas one after another, analog modules first, in the alignment of
--alignment or the window&apos;s setting (setByte.ini). Modules that do not fit keep their areas.</translation>
    </message>
    <message>
        <source>new numbers for repeated stations</source>
        <translation>new numbers for repeated stations</translation>
    </message>
    <message>
        <source>Gives the modules the adapter reports with a repeated (or no) station number the lowest
numbers no other module uses alone, as the window&apos;s repair does.</source>
        <translation>Gives the modules the adapter reports with a repeated (or no) station number the lowest
numbers no other module uses alone, as the window&apos;s repair does.</translation>
    </message>
    <message>
        <source>write the configuration to every module</source>
        <translation>write the configuration to every module</translation>
    </message>
    <message>
        <source>Writes every module&apos;s station, areas and parameters to the adapter (the window&apos;s configuration
download). Refused when modules share bits.</source>
        <translation>Writes every module&apos;s station, areas and parameters to the adapter (the window&apos;s configuration
download). Refused when modules share bits.</translation>
    </message>
    <message>
        <source>save the configuration in the adapter</source>
        <translation>save the configuration in the adapter</translation>
    </message>
    <message>
        <source>Stores the configuration in the adapter, which then restarts.</source>
        <translation>Stores the configuration in the adapter, which then restarts.</translation>
    </message>
    <message>
        <source>show or change the adapter&apos;s settings</source>
        <translation>show or change the adapter&apos;s settings</translation>
    </message>
    <message>
        <source>Without arguments shows the adapter&apos;s settings. With NAME=VALUE pairs changes them and writes
them; the adapter then restarts (about six seconds). NAME is a setting&apos;s name as shown or its
short name: di-filter (off|on), auto-reset (off|on), output-on-error (clear|hold),
station-mode (strict|free), threshold (201-2999). VALUE is an option as shown, its short
word or its number. Every pair is checked before anything is written; settings that do not
change are not written.</source>
        <translation>Without arguments shows the adapter&apos;s settings. With NAME=VALUE pairs changes them and writes
them; the adapter then restarts (about six seconds). NAME is a setting&apos;s name as shown or its
short name: di-filter (off|on), auto-reset (off|on), output-on-error (clear|hold),
station-mode (strict|free), threshold (201-2999). VALUE is an option as shown, its short
word or its number. Every pair is checked before anything is written; settings that do not
change are not written.</translation>
    </message>
    <message>
        <source>NAME=VALUE  a setting and its new value</source>
        <translation>NAME=VALUE  a setting and its new value</translation>
    </message>
    <message>
        <source>switch a module&apos;s locating lamp</source>
        <translation>switch a module&apos;s locating lamp</translation>
    </message>
    <message>
        <source>Switches the locating lamp of the module on or off.</source>
        <translation>Switches the locating lamp of the module on or off.</translation>
    </message>
    <message>
        <source>on|off    the lamp&apos;s new state</source>
        <translation>on|off    the lamp&apos;s new state</translation>
    </message>
    <message>
        <source>force outputs, read inputs back</source>
        <translation>force outputs, read inputs back</translation>
    </message>
    <message>
        <source>Enters force mode, writes the outputs, prints the inputs as every process-data cycle reads
them, and leaves force mode at the end, also on Ctrl-C. Without --hold it runs until every
module&apos;s inputs have come round once. VALUE is a number, on or off.</source>
        <translation>Enters force mode, writes the outputs, prints the inputs as every process-data cycle reads
them, and leaves force mode at the end, also on Ctrl-C. Without --hold it runs until every
module&apos;s inputs have come round once. VALUE is a number, on or off.</translation>
    </message>
    <message>
        <source>an output to write; repeatable</source>
        <translation>an output to write; repeatable</translation>
    </message>
    <message>
        <source>keep forcing this long (Ctrl-C ends it earlier)</source>
        <translation>keep forcing this long (Ctrl-C ends it earlier)</translation>
    </message>
    <message>
        <source>write the configuration file</source>
        <translation>write the configuration file</translation>
    </message>
    <message>
        <source>Writes the configuration of every module to FILE in the window&apos;s format (GB18030). With --uid
each line names its module by UID; without, by station (the adapter&apos;s own module by its
type; other modules without a station cannot be named, and import skips their lines).</source>
        <translation>Writes the configuration of every module to FILE in the window&apos;s format (GB18030). With --uid
each line names its module by UID; without, by station (the adapter&apos;s own module by its
type; other modules without a station cannot be named, and import skips their lines).</translation>
    </message>
    <message>
        <source>name the modules by UID</source>
        <translation>name the modules by UID</translation>
    </message>
    <message>
        <source>FILE   the file to write; replaced only once it is complete</source>
        <translation>FILE   the file to write; replaced only once it is complete</translation>
    </message>
    <message>
        <source>check or apply a configuration file</source>
        <translation>check or apply a configuration file</translation>
    </message>
    <message>
        <source>Checks every line of FILE (the window&apos;s format, UTF-8 or GB18030) and matches each to a module
of the bus. With --apply the configuration is then written to the adapter; without, nothing
is written. A bad line or a line without module writes nothing. A line without UID at
station 0 that is not the adapter&apos;s own module&apos;s is reported and skipped.</source>
        <translation>Checks every line of FILE (the window&apos;s format, UTF-8 or GB18030) and matches each to a module
of the bus. With --apply the configuration is then written to the adapter; without, nothing
is written. A bad line or a line without module writes nothing. A line without UID at
station 0 that is not the adapter&apos;s own module&apos;s is reported and skipped.</translation>
    </message>
    <message>
        <source>write the configuration to the adapter</source>
        <translation>write the configuration to the adapter</translation>
    </message>
    <message>
        <source>FILE   a configuration file written by export or by the window</source>
        <translation>FILE   a configuration file written by export or by the window</translation>
    </message>
    <message>
        <source>compare a configuration file with the bus</source>
        <translation>compare a configuration file with the bus</translation>
    </message>
    <message>
        <source>Compares FILE (the window&apos;s configuration file, with or without UIDs) with the modules on the
bus, module by module: matched by UID where both have one, else by station; a station held
twice and a line without station and UID are reported as ambiguous, never guessed. Prints the
rows that differ (every row with --all): the fields that differ (type, station, input and output
start and channels, parameters), modules missing on the bus, extra on it, of another type.
With --apply the differing modules are written (station, areas, parameters), each refusal
reported for its module, and the bus is read and compared again.
Exit status: 0 the same, 3 differences, 1 a failure on the bus (or a write not taken), 2 a bad
file.</source>
        <translation>Compares FILE (the window&apos;s configuration file, with or without UIDs) with the modules on the
bus, module by module: matched by UID where both have one, else by station; a station held
twice and a line without station and UID are reported as ambiguous, never guessed. Prints the
rows that differ (every row with --all): the fields that differ (type, station, input and output
start and channels, parameters), modules missing on the bus, extra on it, of another type.
With --apply the differing modules are written (station, areas, parameters), each refusal
reported for its module, and the bus is read and compared again.
Exit status: 0 the same, 3 differences, 1 a failure on the bus (or a write not taken), 2 a bad
file.</translation>
    </message>
    <message>
        <source>every row, the same ones too</source>
        <translation>every row, the same ones too</translation>
    </message>
    <message>
        <source>write the differing modules, then compare again</source>
        <translation>write the differing modules, then compare again</translation>
    </message>
    <message>
        <source>verify wired loops and write the IO check-out report</source>
        <translation>verify wired loops and write the IO check-out report</translation>
    </message>
    <message>
        <source>The IO check-out of the adapter, as the window&apos;s &quot;IO检查&quot; keeps it: one row per channel of every
module with an IO area. The wiring map FILE (CSV: the header &quot;output,input&quot;, then one loop per
line, each side STATION:CHANNEL or UID:CHANNEL, channels from 0) names outputs wired back to
inputs; each such loop is verified in force mode: the output on, its input must follow, the
output off, the input must follow again. Only the output under test is ever on, and every ending
(done, Ctrl-C, the link lost) switches it off and leaves force mode. The results are saved after
every loop in the user&apos;s data folder, by adapter serial and module UIDs, so that a run that
stopped goes on at the next open loop (--fresh starts over). The report (PDF: cover, a table per
module, summary, signature line) holds every channel, those checked in the window too.
Exit status: 0 every loop passed, 3 a loop failed or is open, 1 a failure on the bus (or the
report could not be written), 2 a bad wiring map (nothing is switched).</source>
        <translation>The IO check-out of the adapter, as the window&apos;s &quot;IO检查&quot; keeps it: one row per channel of every
module with an IO area. The wiring map FILE (CSV: the header &quot;output,input&quot;, then one loop per
line, each side STATION:CHANNEL or UID:CHANNEL, channels from 0) names outputs wired back to
inputs; each such loop is verified in force mode: the output on, its input must follow, the
output off, the input must follow again. Only the output under test is ever on, and every ending
(done, Ctrl-C, the link lost) switches it off and leaves force mode. The results are saved after
every loop in the user&apos;s data folder, by adapter serial and module UIDs, so that a run that
stopped goes on at the next open loop (--fresh starts over). The report (PDF: cover, a table per
module, summary, signature line) holds every channel, those checked in the window too.
Exit status: 0 every loop passed, 3 a loop failed or is open, 1 a failure on the bus (or the
report could not be written), 2 a bad wiring map (nothing is switched).</translation>
    </message>
    <message>
        <source>the wiring map (CSV: output,input)</source>
        <translation>the wiring map (CSV: output,input)</translation>
    </message>
    <message>
        <source>the report to write; replaced only once complete</source>
        <translation>the report to write; replaced only once complete</translation>
    </message>
    <message>
        <source>the rows as CSV as well</source>
        <translation>the rows as CSV as well</translation>
    </message>
    <message>
        <source>the site or project the report names</source>
        <translation>the site or project the report names</translation>
    </message>
    <message>
        <source>who checks, named on the report and each row</source>
        <translation>who checks, named on the report and each row</translation>
    </message>
    <message>
        <source>how long an input may take to follow its output (1500)</source>
        <translation>how long an input may take to follow its output (1500)</translation>
    </message>
    <message>
        <source>forget the results saved for this adapter and start over</source>
        <translation>forget the results saved for this adapter and start over</translation>
    </message>
    <message>
        <source>upgrade the firmware of adapters</source>
        <translation>upgrade the firmware of adapters</translation>
    </message>
    <message>
        <source>Checks the upgrade file (both CRC-32s, the body length) before any adapter is touched, reads
each chosen adapter&apos;s versions and compares the file&apos;s version with its App version, part by
part as numbers. A file whose category is not the adapter&apos;s type is refused (status 2) unless
--any-category. Before the same version or a downgrade it asks, unless --yes; with no terminal
to ask on it refuses (status 2). Then it upgrades every chosen adapter at once, each in a thread
of its own, and reads the version each runs after its restart: one back with another version
than the file&apos;s, or not back in time, failed. Give --adapter once for each adapter, or --all.
Ctrl-C cancels every upgrade; an adapter interrupted during the transfer stays in its boot
loader and can be upgraded again.</source>
        <translation>Checks the upgrade file (both CRC-32s, the body length) before any adapter is touched, reads
each chosen adapter&apos;s versions and compares the file&apos;s version with its App version, part by
part as numbers. A file whose category is not the adapter&apos;s type is refused (status 2) unless
--any-category. Before the same version or a downgrade it asks, unless --yes; with no terminal
to ask on it refuses (status 2). Then it upgrades every chosen adapter at once, each in a thread
of its own, and reads the version each runs after its restart: one back with another version
than the file&apos;s, or not back in time, failed. Give --adapter once for each adapter, or --all.
Ctrl-C cancels every upgrade; an adapter interrupted during the transfer stays in its boot
loader and can be upgraded again.</translation>
    </message>
    <message>
        <source>every adapter on USB</source>
        <translation>every adapter on USB</translation>
    </message>
    <message>
        <source>do not ask before a downgrade or the same version</source>
        <translation>do not ask before a downgrade or the same version</translation>
    </message>
    <message>
        <source>write the file also to adapters whose type is not the file&apos;s category</source>
        <translation>write the file also to adapters whose type is not the file&apos;s category</translation>
    </message>
    <message>
        <source>FILE   the upgrade file (.dec)</source>
        <translation>FILE   the upgrade file (.dec)</translation>
    </message>
    <message>
        <source>cannot read the file: %1</source>
        <translation>cannot read the file: %1</translation>
    </message>
    <message>
        <source>cannot write the file: %1</source>
        <translation>cannot write the file: %1</translation>
    </message>
    <message>
        <source>no header line</source>
        <translation>no header line</translation>
    </message>
    <message>
        <source>header field %1 is &quot;%2&quot;, not &quot;%3&quot; or &quot;%4&quot;: missing or out of order (%5)</source>
        <translation>header field %1 is &quot;%2&quot;, not &quot;%3&quot; or &quot;%4&quot;: missing or out of order (%5)</translation>
    </message>
    <message>
        <source>%1 fields; a line of this file needs %2</source>
        <translation>%1 fields; a line of this file needs %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number</source>
        <translation>&quot;%1&quot; is not a number</translation>
    </message>
    <message>
        <source>station %1 is outside 1..128 (0: no station)</source>
        <translation>station %1 is outside 1..128 (0: no station)</translation>
    </message>
    <message>
        <source>%1 channels; at most %2</source>
        <translation>%1 channels; at most %2</translation>
    </message>
    <message>
        <source>begin %1: the area would end at bit %2, past the 512-bit image</source>
        <translation>begin %1: the area would end at bit %2, past the 512-bit image</translation>
    </message>
    <message>
        <source>alignment %1: only 1 (bits) or 8 (bytes)</source>
        <translation>alignment %1: only 1 (bits) or 8 (bytes)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a UID (up to 24 hexadecimal digits, in pairs)</source>
        <translation>&quot;%1&quot; is not a UID (up to 24 hexadecimal digits, in pairs)</translation>
    </message>
    <message>
        <source>column %1</source>
        <translation>column %1</translation>
    </message>
    <message>
        <source>1 module has no station of its own: a file without UIDs cannot name it, and import skips its line (export with --uid)</source>
        <translation>1 module has no station of its own: a file without UIDs cannot name it, and import skips its line (export with --uid)</translation>
    </message>
    <message>
        <source>%1 modules have no station of their own: a file without UIDs cannot name them, and import skips their lines (export with --uid)</source>
        <translation>%1 modules have no station of their own: a file without UIDs cannot name them, and import skips their lines (export with --uid)</translation>
    </message>
    <message>
        <source>%1 modules written to %2</source>
        <translation>%1 modules written to %2</translation>
    </message>
    <message>
        <source>%1:%2: %3 (station 0 without a UID names only the adapter&apos;s own module of the line&apos;s type; the line is skipped)</source>
        <translation>%1:%2: %3 (station 0 without a UID names only the adapter&apos;s own module of the line&apos;s type; the line is skipped)</translation>
    </message>
    <message>
        <source>%1 (no module of this type with this UID or station)</source>
        <translation>%1 (no module of this type with this UID or station)</translation>
    </message>
    <message>
        <source>%1 (no module of this type at this station)</source>
        <translation>%1 (no module of this type at this station)</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>configuration imported and written to the adapter</source>
        <translation>configuration imported and written to the adapter</translation>
    </message>
    <message>
        <source>every line not skipped matches a module; nothing written (write it with --apply)</source>
        <translation>every line not skipped matches a module; nothing written (write it with --apply)</translation>
    </message>
    <message>
        <source>every line matches a module; nothing written (write it with --apply)</source>
        <translation>every line matches a module; nothing written (write it with --apply)</translation>
    </message>
    <message>
        <source>local</source>
        <translation>local</translation>
    </message>
    <message>
        <source>local module</source>
        <translation>local module</translation>
    </message>
    <message>
        <source>module without station</source>
        <translation>module without station</translation>
    </message>
    <message>
        <source>station %1</source>
        <translation>station %1</translation>
    </message>
    <message>
        <source>same</source>
        <translation>same</translation>
    </message>
    <message>
        <source>differs</source>
        <translation>differs</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>extra</source>
        <translation>extra</translation>
    </message>
    <message>
        <source>type-mismatch</source>
        <translation>type-mismatch</translation>
    </message>
    <message>
        <source>ambiguous</source>
        <translation>ambiguous</translation>
    </message>
    <message>
        <source>type</source>
        <translation>type</translation>
    </message>
    <message>
        <source>station</source>
        <translation>station</translation>
    </message>
    <message>
        <source>inputStart</source>
        <translation>inputStart</translation>
    </message>
    <message>
        <source>inputChannels</source>
        <translation>inputChannels</translation>
    </message>
    <message>
        <source>outputStart</source>
        <translation>outputStart</translation>
    </message>
    <message>
        <source>outputChannels</source>
        <translation>outputChannels</translation>
    </message>
    <message>
        <source> (%1)</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>station %1: %2 lines in the file, %3 modules on the bus%4; not matched without UIDs</source>
        <translation>station %1: %2 lines in the file, %3 modules on the bus%4; not matched without UIDs</translation>
    </message>
    <message>
        <source>station 0 without UID names no module but the adapter&apos;s own of the line&apos;s type; %1 module(s) without a station on the bus%2</source>
        <translation>station 0 without UID names no module but the adapter&apos;s own of the line&apos;s type; %1 module(s) without a station on the bus%2</translation>
    </message>
    <message>
        <source>UID %1 is given %2 times in the file</source>
        <translation>UID %1 is given %2 times in the file</translation>
    </message>
    <message>
        <source>not on the bus</source>
        <translation>not on the bus</translation>
    </message>
    <message>
        <source>not in the file</source>
        <translation>not in the file</translation>
    </message>
    <message>
        <source>%1 %2 (bus %3)</source>
        <translation>%1 %2 (bus %3)</translation>
    </message>
    <message>
        <source>%1 differ</source>
        <translation>%1 differ</translation>
    </message>
    <message>
        <source>%1 missing</source>
        <translation>%1 missing</translation>
    </message>
    <message>
        <source>%1 extra</source>
        <translation>%1 extra</translation>
    </message>
    <message>
        <source>%1 type mismatch</source>
        <translation>%1 type mismatch</translation>
    </message>
    <message>
        <source>%1 ambiguous</source>
        <translation>%1 ambiguous</translation>
    </message>
    <message>
        <source>%1 same</source>
        <translation>%1 same</translation>
    </message>
    <message>
        <source>line %1 (%2)</source>
        <translation>line %1 (%2)</translation>
    </message>
    <message>
        <source>%1: %2 and %3 share inputs %4..%5</source>
        <translation>%1: %2 and %3 share inputs %4..%5</translation>
    </message>
    <message>
        <source>%1: %2 and %3 share outputs %4..%5</source>
        <translation>%1: %2 and %3 share outputs %4..%5</translation>
    </message>
    <message>
        <source>overlap on the bus</source>
        <translation>overlap on the bus</translation>
    </message>
    <message>
        <source>overlap in the file</source>
        <translation>overlap in the file</translation>
    </message>
    <message>
        <source>KIND</source>
        <translation>KIND</translation>
    </message>
    <message>
        <source>LINE</source>
        <translation>LINE</translation>
    </message>
    <message>
        <source>STATION</source>
        <translation>STATION</translation>
    </message>
    <message>
        <source>TYPE</source>
        <translation>TYPE</translation>
    </message>
    <message>
        <source>UID</source>
        <translation>UID</translation>
    </message>
    <message>
        <source>DIFFERENCES</source>
        <translation>DIFFERENCES</translation>
    </message>
    <message>
        <source>the bus is what the file says (%1 modules)</source>
        <translation>the bus is what the file says (%1 modules)</translation>
    </message>
    <message>
        <source>writing modules: %1 of %2</source>
        <translation>writing modules: %1 of %2</translation>
    </message>
    <message>
        <source>interrupted; the writes may be incomplete</source>
        <translation>interrupted; the writes may be incomplete</translation>
    </message>
    <message>
        <source>with UIDs</source>
        <translation>with UIDs</translation>
    </message>
    <message>
        <source>without UIDs</source>
        <translation>without UIDs</translation>
    </message>
    <message>
        <source>file     %1 (%2, %3 lines)</source>
        <translation>file     %1 (%2, %3 lines)</translation>
    </message>
    <message>
        <source>adapter  %1 (%2 modules)</source>
        <translation>adapter  %1 (%2 modules)</translation>
    </message>
    <message>
        <source>%1: written</source>
        <translation>%1: written</translation>
    </message>
    <message>
        <source>%1: not written: %2</source>
        <translation>%1: not written: %2</translation>
    </message>
    <message>
        <source>interrupted while reading the bus again</source>
        <translation>interrupted while reading the bus again</translation>
    </message>
    <message>
        <source>compared again after %1 of %2 writes:</source>
        <translation>compared again after %1 of %2 writes:</translation>
    </message>
    <message>
        <source>--set takes STATION:CHANNEL=VALUE, not &quot;%1&quot;</source>
        <translation>--set takes STATION:CHANNEL=VALUE, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 has no outputs</source>
        <translation>%1 has no outputs</translation>
    </message>
    <message>
        <source>%1 holds no output area; its outputs cannot be forced</source>
        <translation>%1 holds no output area; its outputs cannot be forced</translation>
    </message>
    <message>
        <source>%1 has output channels 0 to %2, not %3</source>
        <translation>%1 has output channels 0 to %2, not %3</translation>
    </message>
    <message>
        <source>output %1 of %2 is outside the output area the module holds (%3)</source>
        <translation>output %1 of %2 is outside the output area the module holds (%3)</translation>
    </message>
    <message>
        <source>--set %1: output %2 of %3 (%4) takes %5 to %6</source>
        <translation>--set %1: output %2 of %3 (%4) takes %5 to %6</translation>
    </message>
    <message>
        <source>inputs:</source>
        <translation>inputs:</translation>
    </message>
    <message>
        <source>%1 %2 inputs %3</source>
        <translation>%1 %2 inputs %3</translation>
    </message>
    <message>
        <source>force mode on</source>
        <translation>force mode on</translation>
    </message>
    <message>
        <source>force mode left</source>
        <translation>force mode left</translation>
    </message>
    <message>
        <source>give at least one --set STATION:CHANNEL=VALUE</source>
        <translation>give at least one --set STATION:CHANNEL=VALUE</translation>
    </message>
    <message>
        <source>--hold takes a number of seconds, not &quot;%1&quot;</source>
        <translation>--hold takes a number of seconds, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 output %2 = %3</source>
        <translation>%1 output %2 = %3</translation>
    </message>
    <message>
        <source>the link to the adapter is lost</source>
        <translation>the link to the adapter is lost</translation>
    </message>
    <message>
        <source>identified</source>
        <translation>identified</translation>
    </message>
    <message>
        <source>not a TarnBUS adapter</source>
        <translation>not a TarnBUS adapter</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>added</source>
        <translation>added</translation>
    </message>
    <message>
        <source>gone</source>
        <translation>gone</translation>
    </message>
    <message>
        <source>back</source>
        <translation>back</translation>
    </message>
    <message>
        <source>state</source>
        <translation>state</translation>
    </message>
    <message>
        <source>fault</source>
        <translation>fault</translation>
    </message>
    <message>
        <source>link back</source>
        <translation>link back</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>link lost</translation>
    </message>
    <message>
        <source>error</source>
        <translation>error</translation>
    </message>
    <message>
        <source>adapter</source>
        <translation>adapter</translation>
    </message>
    <message>
        <source>power</source>
        <translation>power</translation>
    </message>
    <message>
        <source>temperature</source>
        <translation>temperature</translation>
    </message>
    <message>
        <source>alignment</source>
        <translation>alignment</translation>
    </message>
    <message>
        <source>bits</source>
        <translation>bits</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>bytes</translation>
    </message>
    <message>
        <source>modules</source>
        <translation>modules</translation>
    </message>
    <message>
        <source>link statistics (this connection)</source>
        <translation>link statistics (this connection)</translation>
    </message>
    <message>
        <source>%1 connected to %2: %3 modules</source>
        <translation>%1 connected to %2: %3 modules</translation>
    </message>
    <message>
        <source>no TarnBUS adapter found on USB</source>
        <translation>no TarnBUS adapter found on USB</translation>
    </message>
    <message>
        <source>SERIAL</source>
        <translation>SERIAL</translation>
    </message>
    <message>
        <source>PRODUCT</source>
        <translation>PRODUCT</translation>
    </message>
    <message>
        <source>RELEASE</source>
        <translation>RELEASE</translation>
    </message>
    <message>
        <source>--seconds takes a positive number, not &quot;%1&quot;</source>
        <translation>--seconds takes a positive number, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>CLASS</source>
        <translation>CLASS</translation>
    </message>
    <message>
        <source>INPUTS</source>
        <translation>INPUTS</translation>
    </message>
    <message>
        <source>OUTPUTS</source>
        <translation>OUTPUTS</translation>
    </message>
    <message>
        <source>STATE</source>
        <translation>STATE</translation>
    </message>
    <message>
        <source>FAULTS</source>
        <translation>FAULTS</translation>
    </message>
    <message>
        <source>run</source>
        <translation>run</translation>
    </message>
    <message>
        <source>stop</source>
        <translation>stop</translation>
    </message>
    <message>
        <source>station %1 is outside 1..128</source>
        <translation>station %1 is outside 1..128</translation>
    </message>
    <message>
        <source>no module at station %1</source>
        <translation>no module at station %1</translation>
    </message>
    <message>
        <source>station %1 is shared by %2 modules (%3); name the module by its UID</source>
        <translation>station %1 is shared by %2 modules (%3); name the module by its UID</translation>
    </message>
    <message>
        <source>no module with UID %1</source>
        <translation>no module with UID %1</translation>
    </message>
    <message>
        <source>warning: </source>
        <translation>warning: </translation>
    </message>
    <message>
        <source>this command talks to one adapter; --adapter is given %1 times</source>
        <translation>this command talks to one adapter; --adapter is given %1 times</translation>
    </message>
    <message>
        <source>no adapter %1 on USB%2</source>
        <translation>no adapter %1 on USB%2</translation>
    </message>
    <message>
        <source> (found: %1)</source>
        <translation> (found: %1)</translation>
    </message>
    <message>
        <source>%1 adapters found (%2); choose %3</source>
        <translation>%1 adapters found (%2); choose %3</translation>
    </message>
    <message>
        <source>one with --adapter SERIAL</source>
        <translation>one with --adapter SERIAL</translation>
    </message>
    <message>
        <source>with --adapter SERIAL, or --all</source>
        <translation>with --adapter SERIAL, or --all</translation>
    </message>
    <message>
        <source>time-out</source>
        <translation>time-out</translation>
    </message>
    <message>
        <source>checksum error</source>
        <translation>checksum error</translation>
    </message>
    <message>
        <source>refused by the adapter</source>
        <translation>refused by the adapter</translation>
    </message>
    <message>
        <source>no reply data</source>
        <translation>no reply data</translation>
    </message>
    <message>
        <source>bad reply</source>
        <translation>bad reply</translation>
    </message>
    <message>
        <source>the adapter is restarting</source>
        <translation>the adapter is restarting</translation>
    </message>
    <message>
        <source>settings unknown</source>
        <translation>settings unknown</translation>
    </message>
    <message>
        <source>no reply</source>
        <translation>no reply</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>refused</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>the adapter did not finish the operation</source>
        <translation>the adapter did not finish the operation</translation>
    </message>
    <message>
        <source>interrupted; the operation may be incomplete</source>
        <translation>interrupted; the operation may be incomplete</translation>
    </message>
    <message>
        <source>read back after the restart: %1</source>
        <translation>read back after the restart: %1</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>interrupted</translation>
    </message>
    <message>
        <source>interrupted while connecting</source>
        <translation>interrupted while connecting</translation>
    </message>
    <message>
        <source>the adapter did not finish loading its modules</source>
        <translation>the adapter did not finish loading its modules</translation>
    </message>
    <message>
        <source>the adapter&apos;s settings could not be read; nothing is written</source>
        <translation>the adapter&apos;s settings could not be read; nothing is written</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names no setting: NAME=VALUE, NAME one of %2</source>
        <translation>&quot;%1&quot; names no setting: NAME=VALUE, NAME one of %2</translation>
    </message>
    <message>
        <source>the threshold is a number, not &quot;%1&quot;</source>
        <translation>the threshold is a number, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 is %2 or %3, not &quot;%4&quot;</source>
        <translation>%1 is %2 or %3, not &quot;%4&quot;</translation>
    </message>
    <message>
        <source>settings unchanged; nothing written</source>
        <translation>settings unchanged; nothing written</translation>
    </message>
    <message>
        <source>writing the settings; the adapter restarts</source>
        <translation>writing the settings; the adapter restarts</translation>
    </message>
    <message>
        <source>the adapter did not take the settings</source>
        <translation>the adapter did not take the settings</translation>
    </message>
    <message>
        <source>the adapter did not come back after its restart: the settings are not verified</source>
        <translation>the adapter did not come back after its restart: the settings are not verified</translation>
    </message>
    <message>
        <source>settings written and read back after the restart</source>
        <translation>settings written and read back after the restart</translation>
    </message>
    <message>
        <source>%1 has no description of its own; its configuration is left alone</source>
        <translation>%1 has no description of its own; its configuration is left alone</translation>
    </message>
    <message>
        <source>  inputs %1, outputs %2</source>
        <translation>  inputs %1, outputs %2</translation>
    </message>
    <message>
        <source>the adapter did not confirm the configuration</source>
        <translation>the adapter did not confirm the configuration</translation>
    </message>
    <message>
        <source>%1 uses %2</source>
        <translation>%1 uses %2</translation>
    </message>
    <message>
        <source>%1 has no inputs</source>
        <translation>%1 has no inputs</translation>
    </message>
    <message>
        <source>%1 takes START[:CHANNELS] with START a bit address from 0 to 511, not &quot;%2&quot;</source>
        <translation>%1 takes START[:CHANNELS] with START a bit address from 0 to 511, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 %2: with byte alignment a start address is a multiple of 8</source>
        <translation>%1 %2: with byte alignment a start address is a multiple of 8</translation>
    </message>
    <message>
        <source>%1 %2: CHANNELS is a count from 1 to 127</source>
        <translation>%1 %2: CHANNELS is a count from 1 to 127</translation>
    </message>
    <message>
        <source>%1 has %2 channels; its channel count cannot be changed</source>
        <translation>%1 has %2 channels; its channel count cannot be changed</translation>
    </message>
    <message>
        <source>%1 %2: the inputs would take bits %3, past the %4-bit image</source>
        <translation>%1 %2: the inputs would take bits %3, past the %4-bit image</translation>
    </message>
    <message>
        <source>%1 %2: the outputs would take bits %3, past the %4-bit image</source>
        <translation>%1 %2: the outputs would take bits %3, past the %4-bit image</translation>
    </message>
    <message>
        <source>%1 %2: bits %3 overlap: %4</source>
        <translation>%1 %2: bits %3 overlap: %4</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not NAME=VALUE</source>
        <translation>&quot;%1&quot; is not NAME=VALUE</translation>
    </message>
    <message>
        <source>%1 has no parameter &quot;%2&quot; (it has none)</source>
        <translation>%1 has no parameter &quot;%2&quot; (it has none)</translation>
    </message>
    <message>
        <source>%1 has no parameter &quot;%2&quot;; its parameters: %3</source>
        <translation>%1 has no parameter &quot;%2&quot;; its parameters: %3</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no value of &quot;%2&quot;; it takes %3</source>
        <translation>&quot;%1&quot; is no value of &quot;%2&quot;; it takes %3</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>STATION is a number from 1 to 128, not &quot;%1&quot;</source>
        <translation>STATION is a number from 1 to 128, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 is the adapter&apos;s own module: it has no station to set</source>
        <translation>%1 is the adapter&apos;s own module: it has no station to set</translation>
    </message>
    <message>
        <source>already at station %1</source>
        <translation>already at station %1</translation>
    </message>
    <message>
        <source>station %1 is taken by %2</source>
        <translation>station %1 is taken by %2</translation>
    </message>
    <message>
        <source>station set to %1</source>
        <translation>station set to %1</translation>
    </message>
    <message>
        <source>give --in, --out or both</source>
        <translation>give --in, --out or both</translation>
    </message>
    <message>
        <source>areas set</source>
        <translation>areas set</translation>
    </message>
    <message>
        <source>parameters set</source>
        <translation>parameters set</translation>
    </message>
    <message>
        <source>the adapter did not confirm clearing the module</source>
        <translation>the adapter did not confirm clearing the module</translation>
    </message>
    <message>
        <source>configuration cleared</source>
        <translation>configuration cleared</translation>
    </message>
    <message>
        <source>the lamp is switched &quot;on&quot; or &quot;off&quot;, not &quot;%1&quot;</source>
        <translation>the lamp is switched &quot;on&quot; or &quot;off&quot;, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>lamp on</source>
        <translation>lamp on</translation>
    </message>
    <message>
        <source>lamp off</source>
        <translation>lamp off</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>cannot be read: %1</translation>
    </message>
    <message>
        <source>%1 bytes, shorter than the %2-byte header</source>
        <translation>%1 bytes, shorter than the %2-byte header</translation>
    </message>
    <message>
        <source>the header&apos;s CRC-32 does not match the header</source>
        <translation>the header&apos;s CRC-32 does not match the header</translation>
    </message>
    <message>
        <source>the header declares a body of %1 bytes, the file holds %2</source>
        <translation>the header declares a body of %1 bytes, the file holds %2</translation>
    </message>
    <message>
        <source>%1 bytes follow the %2-byte body the header declares</source>
        <translation>%1 bytes follow the %2-byte body the header declares</translation>
    </message>
    <message>
        <source>the body&apos;s CRC-32 does not match the body</source>
        <translation>the body&apos;s CRC-32 does not match the body</translation>
    </message>
    <message>
        <source>file</source>
        <translation>file</translation>
    </message>
    <message>
        <source>category</source>
        <translation>category</translation>
    </message>
    <message>
        <source>version</source>
        <translation>version</translation>
    </message>
    <message>
        <source>size</source>
        <translation>size</translation>
    </message>
    <message>
        <source>%1 bytes, %2 blocks</source>
        <translation>%1 bytes, %2 blocks</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>busy</translation>
    </message>
    <message>
        <source>newer</source>
        <translation>newer</translation>
    </message>
    <message>
        <source>older</source>
        <translation>older</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>HARDWARE</source>
        <translation>HARDWARE</translation>
    </message>
    <message>
        <source>BOOT</source>
        <translation>BOOT</translation>
    </message>
    <message>
        <source>APP</source>
        <translation>APP</translation>
    </message>
    <message>
        <source>%1 cannot be opened: it is busy, open in the window or another program (or just gone from USB); close it there and try again</source>
        <translation>%1 cannot be opened: it is busy, open in the window or another program (or just gone from USB); close it there and try again</translation>
    </message>
    <message>
        <source>%1 (%2 did not answer the device information request)</source>
        <translation>%1 (%2 did not answer the device information request)</translation>
    </message>
    <message>
        <source>%1 (%2 reports the App version &quot;%3&quot;)</source>
        <translation>%1 (%2 reports the App version &quot;%3&quot;)</translation>
    </message>
    <message>
        <source>; the adapter stays in its boot loader until it is upgraded again</source>
        <translation>; the adapter stays in its boot loader until it is upgraded again</translation>
    </message>
    <message>
        <source>%1: %2 (cannot open it: busy in the window or another program, or gone from USB)</source>
        <translation>%1: %2 (cannot open it: busy in the window or another program, or gone from USB)</translation>
    </message>
    <message>
        <source>%1: %2 (refused or not answered; an adapter the window or another program has open is busy)</source>
        <translation>%1: %2 (refused or not answered; an adapter the window or another program has open is busy)</translation>
    </message>
    <message>
        <source>%1: %2 (refused)</source>
        <translation>%1: %2 (refused)</translation>
    </message>
    <message>
        <source>%1 (refused or not acknowledged%2)</source>
        <translation>%1 (refused or not acknowledged%2)</translation>
    </message>
    <message>
        <source>%1 (link lost%2)</source>
        <translation>%1 (link lost%2)</translation>
    </message>
    <message>
        <source>%1 (%2 came back with App %3 instead of the file&apos;s %4)</source>
        <translation>%1 (%2 came back with App %3 instead of the file&apos;s %4)</translation>
    </message>
    <message>
        <source>%1 (%2 was not back on USB, answering, within %3 s of its restart; the version it runs is unknown)</source>
        <translation>%1 (%2 was not back on USB, answering, within %3 s of its restart; the version it runs is unknown)</translation>
    </message>
    <message>
        <source>%1 interrupted while it restarts; the new firmware was written</source>
        <translation>%1 interrupted while it restarts; the new firmware was written</translation>
    </message>
    <message>
        <source>%1 interrupted; the adapter stays in its boot loader until it is upgraded again</source>
        <translation>%1 interrupted; the adapter stays in its boot loader until it is upgraded again</translation>
    </message>
    <message>
        <source>%1 interrupted before the transfer began</source>
        <translation>%1 interrupted before the transfer began</translation>
    </message>
    <message>
        <source>%1 reports App %2; the parts of the file&apos;s %3 after the third are not shown by an adapter and were not checked</source>
        <translation>%1 reports App %2; the parts of the file&apos;s %3 after the third are not shown by an adapter and were not checked</translation>
    </message>
    <message>
        <source>done</source>
        <translation>done</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>cancelling</source>
        <translation>cancelling</translation>
    </message>
    <message>
        <source>restarting</source>
        <translation>restarting</translation>
    </message>
    <message>
        <source>writing</source>
        <translation>writing</translation>
    </message>
    <message>
        <source>starting</source>
        <translation>starting</translation>
    </message>
    <message>
        <source>%1: %2 (the file is for %3, the adapter is a %4; give --any-category to upgrade it all the same)</source>
        <translation>%1: %2 (the file is for %3, the adapter is a %4; give --any-category to upgrade it all the same)</translation>
    </message>
    <message>
        <source>nothing was written to any adapter</source>
        <translation>nothing was written to any adapter</translation>
    </message>
    <message>
        <source>%1 has App %2, the file %3: %4</source>
        <translation>%1 has App %2, the file %3: %4</translation>
    </message>
    <message>
        <source> Standard input is not a terminal to answer on: give --yes to upgrade all the same</source>
        <translation> Standard input is not a terminal to answer on: give --yes to upgrade all the same</translation>
    </message>
    <message>
        <source>%1 is not to be upgraded; nothing was written to any adapter</source>
        <translation>%1 is not to be upgraded; nothing was written to any adapter</translation>
    </message>
    <message>
        <source>interrupted; nothing was written to any adapter</source>
        <translation>interrupted; nothing was written to any adapter</translation>
    </message>
    <message>
        <source>--all and --adapter exclude each other</source>
        <translation>--all and --adapter exclude each other</translation>
    </message>
    <message>
        <source>transactions</source>
        <translation>transactions</translation>
    </message>
    <message>
        <source>time-outs</source>
        <translation>time-outs</translation>
    </message>
    <message>
        <source>checksum errors</source>
        <translation>checksum errors</translation>
    </message>
    <message>
        <source>error reports</source>
        <translation>error reports</translation>
    </message>
    <message>
        <source>refusals</source>
        <translation>refusals</translation>
    </message>
    <message>
        <source>incomplete replies</source>
        <translation>incomplete replies</translation>
    </message>
    <message>
        <source>reconnects</source>
        <translation>reconnects</translation>
    </message>
    <message>
        <source>round trip</source>
        <translation>round trip</translation>
    </message>
    <message>
        <source>last %1, mean %2, max %3</source>
        <translation>last %1, mean %2, max %3</translation>
    </message>
</context>
<context>
    <name>CompareReport</name>
    <message>
        <source>第%1行 %2</source>
        <translation>Line %1 %2</translation>
    </message>
    <message>
        <source>本地模块 %1</source>
        <translation>Local module %1</translation>
    </message>
    <message>
        <source>未设定站号 %1 (%2)</source>
        <translation>No station number %1 (%2)</translation>
    </message>
    <message>
        <source>站号%1 %2</source>
        <translation>Station %1 %2</translation>
    </message>
    <message>
        <source>%1: %2 与 %3 的%4 %5..%6 重叠</source>
        <translation>%1: %2 and %3 overlap in the %4 %5..%6</translation>
    </message>
    <message>
        <source>总线上</source>
        <translation>On the bus</translation>
    </message>
    <message>
        <source>组态中</source>
        <translation>In the configuration</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>适配器参数 %1: 组态 %2, 总线 %3</source>
        <translation>Adapter setting %1: configuration %2, bus %3</translation>
    </message>
    <message>
        <source>适配器参数一致</source>
        <translation>Adapter settings match</translation>
    </message>
    <message>
        <source>组态对比报告</source>
        <translation>Configuration comparison report</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>适配器MAC</source>
        <translation>Adapter MAC</translation>
    </message>
    <message>
        <source>对比来源</source>
        <translation>Compare with</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>显示</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>只显示差异 (%1/%2行)</source>
        <translation>Differences only (%1/%2 rows)</translation>
    </message>
    <message>
        <source>差异单元格: 组态值 / 总线值</source>
        <translation>Cells that differ: configuration value / bus value</translation>
    </message>
</context>
<context>
    <name>CompareRowsModel</name>
    <message>
        <source>总线上没有此模块</source>
        <translation>not on the bus</translation>
    </message>
    <message>
        <source>组态中没有此模块</source>
        <translation>not in the configuration</translation>
    </message>
    <message>
        <source>类型不同,不能写入</source>
        <translation>Different type; cannot write</translation>
    </message>
    <message>
        <source>模块没有自己的描述,不能写入</source>
        <translation>The module has no description of its own; cannot write</translation>
    </message>
    <message>
        <source>已写入</source>
        <translation>Written</translation>
    </message>
    <message>
        <source>写入失败: %1</source>
        <translation>Writing failed: %1</translation>
    </message>
    <message>
        <source>本地</source>
        <translation>Local</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>行</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>从站站号</source>
        <translation>Station number</translation>
    </message>
    <message>
        <source>设备类型</source>
        <translation>Device type</translation>
    </message>
    <message>
        <source>设备UID</source>
        <translation>Device UID</translation>
    </message>
    <message>
        <source>输入起始地址</source>
        <translation>Input start address</translation>
    </message>
    <message>
        <source>输入通道长度</source>
        <translation>Input channel length</translation>
    </message>
    <message>
        <source>输出起始地址</source>
        <translation>Output start address</translation>
    </message>
    <message>
        <source>输出通道长度</source>
        <translation>Output channel length</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>组态值 / 总线值</source>
        <translation>configuration value / bus value</translation>
    </message>
</context>
<context>
    <name>ConfigCompare</name>
    <message>
        <source>适配器未确认写入</source>
        <translation>The adapter did not confirm the write</translation>
    </message>
    <message>
        <source>已写入</source>
        <translation>Written</translation>
    </message>
    <message>
        <source>链接断开,未写入</source>
        <translation>Link lost; not written</translation>
    </message>
    <message>
        <source>相同</source>
        <translation>Same</translation>
    </message>
    <message>
        <source>不同</source>
        <translation>Differs</translation>
    </message>
    <message>
        <source>总线上缺少</source>
        <translation>Missing on the bus</translation>
    </message>
    <message>
        <source>总线上多出</source>
        <translation>Extra on the bus</translation>
    </message>
    <message>
        <source>类型不符</source>
        <translation>Type differs</translation>
    </message>
    <message>
        <source>无法对应</source>
        <translation>No match</translation>
    </message>
    <message>
        <source>站号%1在组态中有%2个模块,在总线上有%3个模块,无法确定对应关系</source>
        <translation>Station %1 has %2 modules in the configuration and %3 on the bus; they cannot be matched</translation>
    </message>
    <message>
        <source>没有站号也没有UID,无法对应模块(只能对应同类型的本地模块)</source>
        <translation>Neither station number nor UID: matches no module (only a local module of the same type)</translation>
    </message>
    <message>
        <source>UID %1 在组态中出现%2次</source>
        <translation>UID %1 appears %2 times in the configuration</translation>
    </message>
</context>
<context>
    <name>ConfigCompareDialog</name>
    <message>
        <source>对比组态</source>
        <translation>Compare configuration</translation>
    </message>
    <message>
        <source>对比来源：</source>
        <translation>Compare with:</translation>
    </message>
    <message>
        <source>打开配置文件...</source>
        <translation>Open configuration file...</translation>
    </message>
    <message>
        <source>重新读取并对比</source>
        <translation>Read again and compare</translation>
    </message>
    <message>
        <source>差异单元格: 组态值 / 总线值</source>
        <translation>Cells that differ: configuration value / bus value</translation>
    </message>
    <message>
        <source>只显示差异</source>
        <translation>Differences only</translation>
    </message>
    <message>
        <source>字段</source>
        <translation>Field</translation>
    </message>
    <message>
        <source>组态</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>总线</source>
        <translation>Bus</translation>
    </message>
    <message>
        <source>全选差异</source>
        <translation>Select differences</translation>
    </message>
    <message>
        <source>写入所选</source>
        <translation>Write selected</translation>
    </message>
    <message>
        <source>保存CSV</source>
        <translation>Save CSV</translation>
    </message>
    <message>
        <source>打印PDF</source>
        <translation>Print PDF</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>本地</source>
        <translation>Local</translation>
    </message>
    <message>
        <source>设备UID</source>
        <translation>Device UID</translation>
    </message>
    <message>
        <source>对比组态 - %1</source>
        <translation>Compare configuration - %1</translation>
    </message>
    <message>
        <source>配置文件</source>
        <translation>Configuration file</translation>
    </message>
    <message>
        <source>离线组态: %1</source>
        <translation>Offline configuration: %1</translation>
    </message>
    <message>
        <source>适配器: %1 (%2)</source>
        <translation>Adapter: %1 (%2)</translation>
    </message>
    <message>
        <source>打开配置文件</source>
        <translation>Open configuration file</translation>
    </message>
    <message>
        <source>对比来源已关闭,请重新选择。</source>
        <translation>The source to compare with was closed; choose again.</translation>
    </message>
    <message>
        <source>文件中没有从站配置数据</source>
        <translation>The file holds no slave configuration</translation>
    </message>
    <message>
        <source>……共%1处错误</source>
        <translation>… %1 errors in all</translation>
    </message>
    <message>
        <source>配置文件有误,无法对比: %1</source>
        <translation>The configuration file has errors and cannot be compared: %1</translation>
    </message>
    <message>
        <source>带UID</source>
        <translation>With UIDs</translation>
    </message>
    <message>
        <source>不带UID</source>
        <translation>Without UIDs</translation>
    </message>
    <message>
        <source>配置文件 %1 (%2)</source>
        <translation>Configuration file %1 (%2)</translation>
    </message>
    <message>
        <source>请选择对比来源: 打开一个配置文件(带或不带UID),或选择一个已打开的离线组态或适配器。</source>
        <translation>Choose what to compare with: open a configuration file (with or without UIDs), or choose an open offline configuration or adapter.</translation>
    </message>
    <message>
        <source>总线: %1 (%2个模块)    对比来源: %3 (%4个模块)</source>
        <translation>Bus: %1 (%2 modules)    compared with: %3 (%4 modules)</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>组态第%1行</source>
        <translation>Configuration line %1</translation>
    </message>
    <message>
        <source>站号%1 %2 %3</source>
        <translation>Station %1 %2 %3</translation>
    </message>
    <message>
        <source>总线模块%1</source>
        <translation>Bus module %1</translation>
    </message>
    <message>
        <source>全不选</source>
        <translation>Select none</translation>
    </message>
    <message>
        <source>正在读取总线…</source>
        <translation>Reading the bus…</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>强制模式不可操作!</source>
        <translation>Not possible in force mode!</translation>
    </message>
    <message>
        <source>适配器未连接,无法写入!</source>
        <translation>The adapter is not connected; cannot write!</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>请先勾选要写入的模块!</source>
        <translation>Tick the modules to write first!</translation>
    </message>
    <message>
        <source>消息</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>将组态中%1个模块的站号、地址和参数写入适配器,是否继续？</source>
        <translation>Write the station numbers, addresses and parameters of the %1 modules of the configuration to the adapter?</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>正在写入第%1个模块(共%2个)…</source>
        <translation>Writing module %1 of %2…</translation>
    </message>
    <message>
        <source>写入完成: 成功%1个, 失败%2个</source>
        <translation>Written: %1 succeeded, %2 failed</translation>
    </message>
    <message>
        <source>保存对比结果</source>
        <translation>Save comparison</translation>
    </message>
    <message>
        <source>无法写入文件: %1</source>
        <translation>Cannot write the file: %1</translation>
    </message>
    <message>
        <source>已保存: %1</source>
        <translation>Saved: %1</translation>
    </message>
    <message>
        <source>打印对比结果</source>
        <translation>Print comparison</translation>
    </message>
    <message>
        <source>已打印: %1</source>
        <translation>Printed: %1</translation>
    </message>
    <message>
        <source>设备类型</source>
        <translation>Device type</translation>
    </message>
    <message>
        <source>从站站号</source>
        <translation>Station number</translation>
    </message>
    <message>
        <source>对齐方式</source>
        <translation>Alignment</translation>
    </message>
    <message>
        <source>输入起始地址</source>
        <translation>Input start address</translation>
    </message>
    <message>
        <source>输入通道长度</source>
        <translation>Input channel length</translation>
    </message>
    <message>
        <source>输出起始地址</source>
        <translation>Output start address</translation>
    </message>
    <message>
        <source>输出通道长度</source>
        <translation>Output channel length</translation>
    </message>
    <message>
        <source>滤波等级</source>
        <translation>Filter level</translation>
    </message>
    <message>
        <source>替代值使能</source>
        <translation>Substitute value enable</translation>
    </message>
    <message>
        <source>替代值</source>
        <translation>Substitute value</translation>
    </message>
    <message>
        <source>设备ID</source>
        <translation>Device ID</translation>
    </message>
</context>
<context>
    <name>ConfigCsv</name>
    <message>
        <source>无法读取文件: %1</source>
        <translation>Cannot read the file: %1</translation>
    </message>
    <message>
        <source>无法写入文件: %1</source>
        <translation>Cannot write the file: %1</translation>
    </message>
    <message>
        <source>文件为空,缺少表头</source>
        <translation>The file is empty: no header</translation>
    </message>
    <message>
        <source>,字段缺失或位序错误</source>
        <translation>, fields missing or in the wrong bit order</translation>
    </message>
    <message>
        <source>第%1行: 字段数量不足,需要%2个</source>
        <translation>Line %1: too few fields, %2 needed</translation>
    </message>
    <message>
        <source>第%1行: 第%2列不是数字: %3</source>
        <translation>Line %1: column %2 is not a number: %3</translation>
    </message>
    <message>
        <source>第%1行: &quot;%2&quot;不是数字: %3</source>
        <translation>Line %1: &quot;%2&quot; is not a number: %3</translation>
    </message>
    <message>
        <source>第%1行: 从站站号%2超出范围(1-128)</source>
        <translation>Line %1: station number %2 out of range (1-128)</translation>
    </message>
    <message>
        <source>第%1行: &quot;%2&quot;超过127: %3</source>
        <translation>Line %1: &quot;%2&quot; exceeds 127: %3</translation>
    </message>
    <message>
        <source>第%1行: 输入地址超限,结束于第%2位(最大512位)</source>
        <translation>Line %1: inputs out of range, ending at bit %2 (512 bits at most)</translation>
    </message>
    <message>
        <source>第%1行: 输出地址超限,结束于第%2位(最大512位)</source>
        <translation>Line %1: outputs out of range, ending at bit %2 (512 bits at most)</translation>
    </message>
    <message>
        <source>第%1行: 对齐方式只能是1或8: %2</source>
        <translation>Line %1: the alignment is 1 or 8: %2</translation>
    </message>
    <message>
        <source>第%1行: 设备UID无效: %2</source>
        <translation>Line %1: invalid device UID: %2</translation>
    </message>
</context>
<context>
    <name>ConfigurationMatchingDlg</name>
    <message>
        <source>链接适配器</source>
        <translation>Link adapter</translation>
    </message>
    <message>
        <source>选择要下载离线组态的适配器：</source>
        <translation>Adapter to download the offline configuration to:</translation>
    </message>
    <message>
        <source>扫描</source>
        <translation>Scan</translation>
    </message>
    <message>
        <source>链接</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>未选择适配器!</source>
        <translation>No adapter selected!</translation>
    </message>
</context>
<context>
    <name>CreateModel</name>
    <message>
        <source>DI  数字量输入</source>
        <translation>DI  digital input</translation>
    </message>
    <message>
        <source>DO  数字量输出</source>
        <translation>DO  digital output</translation>
    </message>
    <message>
        <source>DIO  数字量输入输出</source>
        <translation>DIO  digital input and output</translation>
    </message>
    <message>
        <source>DIDO  数字量输入/输出</source>
        <translation>DIDO  digital input/output</translation>
    </message>
    <message>
        <source>AI  模拟量输入</source>
        <translation>AI  analog input</translation>
    </message>
    <message>
        <source>AO  模拟量输出</source>
        <translation>AO  analog output</translation>
    </message>
    <message>
        <source>AIO  模拟量输入输出</source>
        <translation>AIO  analog input and output</translation>
    </message>
    <message>
        <source>AIAO  模拟量输入/输出</source>
        <translation>AIAO  analog input/output</translation>
    </message>
    <message>
        <source>其他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>%1 路输入</source>
        <translation>%1 inputs</translation>
    </message>
    <message>
        <source>%1 路输出</source>
        <translation>%1 outputs</translation>
    </message>
    <message>
        <source>每路 %1 位</source>
        <translation>%1 bits each</translation>
    </message>
    <message>
        <source>%1 (不支持)</source>
        <translation>%1 (not supported)</translation>
    </message>
    <message>
        <source>没有对应的从站种类,不能添加。</source>
        <translation>No matching kind of slave; cannot add.</translation>
    </message>
</context>
<context>
    <name>CreateSlaveView</name>
    <message>
        <source>添加从站模块</source>
        <translation>Add slave module</translation>
    </message>
    <message>
        <source>请选择模块类型</source>
        <translation>Choose a module type</translation>
    </message>
    <message>
        <source>站号：</source>
        <translation>Station:</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>站号%1已被占用</source>
        <translation>Station %1 is taken</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>请选择模块类型!</source>
        <translation>Choose a module type!</translation>
    </message>
    <message>
        <source>从站站号冲突,添加%1站号失败!</source>
        <translation>Station number conflict; adding station %1 failed!</translation>
    </message>
    <message>
        <source>已添加 %1 到站号 %2</source>
        <translation>Added %1 as station %2</translation>
    </message>
</context>
<context>
    <name>FaultView</name>
    <message>
        <source>从站故障</source>
        <translation>Slave fault</translation>
    </message>
    <message>
        <source>主电低：</source>
        <translation>Main power low:</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>隔离电异常：</source>
        <translation>Isolated power fault:</translation>
    </message>
    <message>
        <source>故障1：</source>
        <translation>Fault 1:</translation>
    </message>
    <message>
        <source>故障2：</source>
        <translation>Fault 2:</translation>
    </message>
    <message>
        <source>拓展故障码1：</source>
        <translation>Extended fault code 1:</translation>
    </message>
    <message>
        <source>拓展故障码2：</source>
        <translation>Extended fault code 2:</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>异常</source>
        <translation>Fault</translation>
    </message>
</context>
<context>
    <name>FirmwareBurning</name>
    <message>
        <source>升级程序</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>接口选择：</source>
        <translation>Interface:</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>文件信息</source>
        <translation>File information</translation>
    </message>
    <message>
        <source>升级文件：</source>
        <translation>Upgrade file:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>类别：</source>
        <translation>Category:</translation>
    </message>
    <message>
        <source>版本号：</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>文件大小：</source>
        <translation>File size:</translation>
    </message>
    <message>
        <source>设备信息</source>
        <translation>Device information</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>批量升级</source>
        <translation>Batch upgrade</translation>
    </message>
    <message>
        <source>消息输出</source>
        <translation>Messages</translation>
    </message>
    <message>
        <source>选择</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>设备类型</source>
        <translation>Device type</translation>
    </message>
    <message>
        <source>硬件版本</source>
        <translation>Hardware version</translation>
    </message>
    <message>
        <source>Boot版本</source>
        <translation>Boot version</translation>
    </message>
    <message>
        <source>App版本</source>
        <translation>App version</translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation>IP address</translation>
    </message>
    <message>
        <source>MAC地址</source>
        <translation>MAC address</translation>
    </message>
    <message>
        <source>升级进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>FirmwareBurning</source>
        <translation>FirmwareBurning</translation>
    </message>
    <message>
        <source>添加升级程序失败!</source>
        <translation>Adding the upgrade file failed!</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>非法的升级文件! </source>
        <translation>Invalid upgrade file! </translation>
    </message>
    <message>
        <source>非法文件：</source>
        <translation>Invalid file:</translation>
    </message>
    <message>
        <source>%1 Byte</source>
        <translation>%1 Byte</translation>
    </message>
    <message>
        <source>添加升级文件：</source>
        <translation>Upgrade file:</translation>
    </message>
    <message>
        <source>读取升级程序成功!</source>
        <translation>Upgrade file read!</translation>
    </message>
    <message>
        <source>新设备：%1 MAC:%2</source>
        <translation>New device: %1 MAC: %2</translation>
    </message>
    <message>
        <source>开始升级</source>
        <translation>Start upgrade</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>请先选择升级程序! </source>
        <translation>Choose an upgrade file first! </translation>
    </message>
    <message>
        <source>请先选择设备! </source>
        <translation>Select a device first! </translation>
    </message>
    <message>
        <source>设备%1(MAC:%2)</source>
        <translation>Device %1 (MAC: %2)</translation>
    </message>
    <message>
        <source>升级包的类别是%1,设备类型是%2,两者不符。是否仍要升级? </source>
        <translation>The upgrade file&apos;s category is %1, the device&apos;s type %2: they do not match. Upgrade anyway? </translation>
    </message>
    <message>
        <source>%1: 升级包类别不符,未升级。</source>
        <translation>%1: the upgrade file&apos;s category does not match; not upgraded.</translation>
    </message>
    <message>
        <source>设备信息异常,无法生升级! </source>
        <translation>Bad device information; cannot upgrade! </translation>
    </message>
    <message>
        <source>升级包版本与设备版本一致,是否选择升级! </source>
        <translation>The upgrade file has the device&apos;s version. Upgrade anyway? </translation>
    </message>
    <message>
        <source>升级包版本过低是否选择升级! </source>
        <translation>The upgrade file&apos;s version is older. Upgrade anyway? </translation>
    </message>
    <message>
        <source>升级中...</source>
        <translation>Upgrading...</translation>
    </message>
    <message>
        <source>取消升级</source>
        <translation>Cancel upgrade</translation>
    </message>
    <message>
        <source>%1 (MAC:%2) 已取消批量升级程序! </source>
        <translation>%1 (MAC: %2) batch upgrade cancelled! </translation>
    </message>
    <message>
        <source>%1 (MAC:%2) 已取消升级程序! </source>
        <translation>%1 (MAC: %2) upgrade cancelled! </translation>
    </message>
    <message>
        <source>%1 (MAC:%2) 程序升级完成!</source>
        <translation>%1 (MAC: %2) upgrade done!</translation>
    </message>
    <message>
        <source>%1 (MAC:%2) 开始升级程序!</source>
        <translation>%1 (MAC: %2) upgrade started!</translation>
    </message>
    <message>
        <source>%1 (MAC:%2) 程序写入完成!设备重启中请稍后。</source>
        <translation>%1 (MAC: %2) firmware written! The device is restarting, please wait.</translation>
    </message>
    <message>
        <source>  设备%1(MAC:%2),升级失败  </source>
        <translation>  Device %1 (MAC: %2): upgrade failed  </translation>
    </message>
    <message>
        <source>链接设备失败,请检查USB是否链接! </source>
        <translation>Linking the device failed; check the USB connection! </translation>
    </message>
    <message>
        <source>进入升级模式失败! </source>
        <translation>Entering upgrade mode failed! </translation>
    </message>
    <message>
        <source>开始烧写失败! </source>
        <translation>Starting to write the firmware failed! </translation>
    </message>
    <message>
        <source>%1 (MAC:%2) 升级中断。</source>
        <translation>%1 (MAC: %2) upgrade interrupted.</translation>
    </message>
    <message>
        <source>%1 (MAC:%2) 重启完成,App版本:%3</source>
        <translation>%1 (MAC: %2) restarted, App version: %3</translation>
    </message>
    <message>
        <source>  设备%1(MAC:%2)重启后的版本为%3,不是升级包的版本%4,升级失败  </source>
        <translation>  Device %1 (MAC: %2) runs version %3 after its restart, not the upgrade file&apos;s %4; upgrade failed  </translation>
    </message>
    <message>
        <source>  设备%1(MAC:%2)重启后%3秒内未重新连接,无法读取版本,升级失败  </source>
        <translation>  Device %1 (MAC: %2) did not reconnect within %3 s of its restart; its version cannot be read; upgrade failed  </translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>升级包的类别是%1,设备类型是%2,两者不符。</source>
        <translation>The upgrade file&apos;s category is %1, the device&apos;s type %2: they do not match.</translation>
    </message>
</context>
<context>
    <name>FrameTraceDialog</name>
    <message>
        <source>帧跟踪</source>
        <translation>Frame trace</translation>
    </message>
    <message>
        <source>记录</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>记录与适配器往来的每个报文(最近 10000 个);关闭时不占用时间</source>
        <translation>Records every report to and from the adapter (the last 10000); costs no time when off</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>命令：</source>
        <translation>Command:</translation>
    </message>
    <message>
        <source>站号：</source>
        <translation>Station:</translation>
    </message>
    <message>
        <source>结果：</source>
        <translation>Result:</translation>
    </message>
    <message>
        <source>导出文本</source>
        <translation>Export text</translation>
    </message>
    <message>
        <source>显示的报文,每个报文一行解码文本</source>
        <translation>The reports shown, one line of decoded text each</translation>
    </message>
    <message>
        <source>导出 pcap</source>
        <translation>Export pcap</translation>
    </message>
    <message>
        <source>显示的报文,保存为 Wireshark 和 tcpdump 可打开的 USB 抓包文件</source>
        <translation>The reports shown, saved as a USB capture that Wireshark and tcpdump open</translation>
    </message>
    <message>
        <source>标记</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>帧头</source>
        <translation>Header</translation>
    </message>
    <message>
        <source>命令</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>CRC</source>
        <translation>CRC</translation>
    </message>
    <message>
        <source>填充</source>
        <translation>Padding</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>帧跟踪 - %1</source>
        <translation>Frame trace - %1</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>%1 个报文,显示 %2 个;%3</source>
        <translation>%1 reports, %2 shown; %3</translation>
    </message>
    <message>
        <source>正在记录</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>记录已关闭</source>
        <translation>Recording off</translation>
    </message>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>CRC 校验正确(第 70、71 字节,高字节在前)</source>
        <translation>CRC correct (bytes 70 and 71, high byte first)</translation>
    </message>
    <message>
        <source>CRC 校验错误</source>
        <translation>CRC error</translation>
    </message>
    <message>
        <source>升级报文,无帧 CRC</source>
        <translation>Upgrade report, no frame CRC</translation>
    </message>
    <message>
        <source>CRC 在帧的第二个报文中</source>
        <translation>CRC in the frame&apos;s second report</translation>
    </message>
    <message>
        <source>适配器拒绝了此请求</source>
        <translation>The adapter refused this request</translation>
    </message>
    <message>
        <source>结果:</source>
        <translation>Result:</translation>
    </message>
    <message>
        <source>USB 抓包 (*.pcap)</source>
        <translation>USB captures (*.pcap)</translation>
    </message>
    <message>
        <source>文本文件 (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
</context>
<context>
    <name>FrameTraceModel</name>
    <message>
        <source>发送</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Received</translation>
    </message>
    <message>
        <source> (拒绝标记)</source>
        <translation> (refusal mark)</translation>
    </message>
    <message>
        <source>正确</source>
        <translation>Correct</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>时间 (s)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>报文</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>命令码</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>命令</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>CRC</source>
        <translation>CRC</translation>
    </message>
</context>
<context>
    <name>HidAccess</name>
    <message>
        <source>没有权限打开适配器的USB设备(%1)。
请安装udev规则 %2 (随 tarnbus-tester 软件包安装),然后拔下适配器再重新插入。</source>
        <translation>No permission to open the adapter&apos;s USB device (%1).
Install the udev rule %2 (installed with the tarnbus-tester package), then unplug the adapter and plug it in again.</translation>
    </message>
    <message>
        <source>没有权限打开适配器的USB设备(%1): 随 tarnbus-tester 软件包安装的udev规则 %2 让座席上的用户可以访问它; 请安装该规则,然后拔下适配器再重新插入</source>
        <translation>no permission to open the adapter&apos;s USB device (%1): the udev rule %2, installed with the tarnbus-tester package, gives the user at the seat access; install it, then unplug the adapter and plug it in again</translation>
    </message>
</context>
<context>
    <name>IoCheckout</name>
    <message>
        <source>通过</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>Skipped</translation>
    </message>
    <message>
        <source>未检查</source>
        <translation>Not checked</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>模拟量</source>
        <translation>Analog</translation>
    </message>
    <message>
        <source>数字量</source>
        <translation>Digital</translation>
    </message>
    <message>
        <source>本地模块 (%1)</source>
        <translation>Local module (%1)</translation>
    </message>
    <message>
        <source>未设定站号的 %1 (%2)</source>
        <translation>%1 without a station number (%2)</translation>
    </message>
    <message>
        <source>站号%1 (%2)</source>
        <translation>Station %1 (%2)</translation>
    </message>
    <message>
        <source>%1: %2 换为 %3</source>
        <translation>%1: %2 replaced by %3</translation>
    </message>
    <message>
        <source>模块</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Remark</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>检查人</source>
        <translation>Checked by</translation>
    </message>
    <message>
        <source>本地</source>
        <translation>Local</translation>
    </message>
    <message>
        <source>IO检查报告</source>
        <translation>IO check-out report</translation>
    </message>
    <message>
        <source>现场/项目</source>
        <translation>Site/project</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>开始于</source>
        <translation>Started</translation>
    </message>
    <message>
        <source>适配器序列号</source>
        <translation>Adapter serial number</translation>
    </message>
    <message>
        <source>适配器型号</source>
        <translation>Adapter model</translation>
    </message>
    <message>
        <source>硬件版本</source>
        <translation>Hardware version</translation>
    </message>
    <message>
        <source>Boot版本</source>
        <translation>Boot version</translation>
    </message>
    <message>
        <source>固件版本</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>共 %1 项: 通过 %2, 失败 %3, 跳过 %4, 未检查 %5</source>
        <translation>%1 points: %2 passed, %3 failed, %4 skipped, %5 not checked</translation>
    </message>
    <message>
        <source>通道数</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>汇总</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>合计</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>站号%1</source>
        <translation>Station %1</translation>
    </message>
    <message>
        <source>失败项</source>
        <translation>Failures</translation>
    </message>
    <message>
        <source>未检查项</source>
        <translation>Unchecked</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>签字:</source>
        <translation>Signature:</translation>
    </message>
    <message>
        <source>日期:</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>无法创建文件夹 %1</source>
        <translation>Cannot create the folder %1</translation>
    </message>
</context>
<context>
    <name>IoCheckoutDialog</name>
    <message>
        <source>IO检查</source>
        <translation>IO check-out</translation>
    </message>
    <message>
        <source>现场/项目：</source>
        <translation>Site/project:</translation>
    </message>
    <message>
        <source>现场或项目名称</source>
        <translation>Name of the site or project</translation>
    </message>
    <message>
        <source>检查人：</source>
        <translation>Checked by:</translation>
    </message>
    <message>
        <source>工程师姓名</source>
        <translation>Engineer&apos;s name</translation>
    </message>
    <message>
        <source>接线表...</source>
        <translation>Wiring list...</translation>
    </message>
    <message>
        <source>运行回路检查</source>
        <translation>Run loop check</translation>
    </message>
    <message>
        <source>只显示未检查</source>
        <translation>Unchecked only</translation>
    </message>
    <message>
        <source>只显示失败</source>
        <translation>Failures only</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Remark</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>检查人</source>
        <translation>Checked by</translation>
    </message>
    <message>
        <source>设定/期望值(%)：</source>
        <translation>Set/expected value (%):</translation>
    </message>
    <message>
        <source>现场读数(%)：</source>
        <translation>Field reading (%):</translation>
    </message>
    <message>
        <source>容差(%)：</source>
        <translation>Tolerance (%):</translation>
    </message>
    <message>
        <source>输入等待(秒)：</source>
        <translation>Input wait (s):</translation>
    </message>
    <message>
        <source>备注：</source>
        <translation>Remark:</translation>
    </message>
    <message>
        <source>通过 (P)</source>
        <translation>Pass (P)</translation>
    </message>
    <message>
        <source>失败 (F)</source>
        <translation>Fail (F)</translation>
    </message>
    <message>
        <source>跳过 (S)</source>
        <translation>Skip (S)</translation>
    </message>
    <message>
        <source>开始检查 (Enter)</source>
        <translation>Start check (Enter)</translation>
    </message>
    <message>
        <source>停止 (Esc)</source>
        <translation>Stop (Esc)</translation>
    </message>
    <message>
        <source>生成报告...</source>
        <translation>Report...</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>IO检查 - %1</source>
        <translation>IO check-out - %1</translation>
    </message>
    <message>
        <source>回路检查完成。</source>
        <translation>Loop check done.</translation>
    </message>
    <message>
        <source>回路检查已停止,%1 个回路未检查。</source>
        <translation>Loop check stopped, %1 loops not checked.</translation>
    </message>
    <message>
        <source>模块已更换,其检查项重新开始: %1</source>
        <translation>The module was replaced; its points start again: %1</translation>
    </message>
    <message>
        <source>继续上次的检查: 已完成 %1 项。</source>
        <translation>Going on with the last check: %1 points done.</translation>
    </message>
    <message>
        <source> · 回路</source>
        <translation> · loop</translation>
    </message>
    <message>
        <source>已完成 %1/%2, 失败 %3, 跳过 %4</source>
        <translation>%1/%2 done, %3 failed, %4 skipped</translation>
    </message>
    <message>
        <source>全部检查完毕</source>
        <translation>All checked</translation>
    </message>
    <message>
        <source>%1
%2 · 通道 %3 · 地址 %4</source>
        <translation>%1
%2 · channel %3 · address %4</translation>
    </message>
    <message>
        <source>按“开始检查”(Enter)只接通此输出,观察现场设备后按 通过(P) 或 失败(F)。</source>
        <translation>Press &quot;Start check&quot; (Enter) to switch on only this output; watch the field device, then Pass (P) or Fail (F).</translation>
    </message>
    <message>
        <source>按“开始检查”(Enter)输出设定值,填入现场仪表读数(%),按 通过(P) 由容差判定。</source>
        <translation>Press &quot;Start check&quot; (Enter) to output the set value, enter the field meter&apos;s reading (%), and Pass (P) judges it by the tolerance.</translation>
    </message>
    <message>
        <source>按“开始检查”(Enter)后操作现场设备:输入变化即通过;等待时间内无变化则保持未检查。</source>
        <translation>Press &quot;Start check&quot; (Enter), then operate the field device: a change of the input passes; without a change in the wait it stays unchecked.</translation>
    </message>
    <message>
        <source>在现场施加信号,按“开始检查”(Enter)读取实时值,按 通过(P) 以期望值和容差判定。</source>
        <translation>Apply the signal in the field, press &quot;Start check&quot; (Enter) to read the live value, and Pass (P) to judge it against the expected value and tolerance.</translation>
    </message>
    <message>
        <source>接线表回路: %1 → %2,可由“运行回路检查”自动验证。</source>
        <translation>Wiring loop: %1 → %2, checked automatically by &quot;Run loop check&quot;.</translation>
    </message>
    <message>
        <source>未能进入强制模式,检查未开始。</source>
        <translation>Force mode could not be entered; the check did not start.</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>适配器未连接,不能检查。</source>
        <translation>The adapter is not connected; cannot check.</translation>
    </message>
    <message>
        <source>正在进入强制模式...</source>
        <translation>Entering force mode...</translation>
    </message>
    <message>
        <source>检查中: 请操作现场设备。</source>
        <translation>Checking: operate the field device.</translation>
    </message>
    <message>
        <source>此输出现在不能接通(需要强制模式、连接和运行中的模块)。</source>
        <translation>This output cannot be switched on now (needs force mode, a link and a running module).</translation>
    </message>
    <message>
        <source>设定值须为 0 到 100 (%)。</source>
        <translation>The set value must be 0 to 100 (%).</translation>
    </message>
    <message>
        <source>IO检查: 强制输出 %1 输出%2 = %3</source>
        <translation>IO check-out: forced output %1 output %2 = %3</translation>
    </message>
    <message>
        <source>输出 %1 已设为 %2。</source>
        <translation>Output %1 set to %2.</translation>
    </message>
    <message>
        <source>输出 %1 已接通。</source>
        <translation>Output %1 is on.</translation>
    </message>
    <message>
        <source>已停止,输出已关闭。</source>
        <translation>Stopped, outputs off.</translation>
    </message>
    <message>
        <source>链接断开,检查已停止,输出已关闭;已完成的检查已保存。</source>
        <translation>Link lost: the check stopped, outputs are off; the points done are saved.</translation>
    </message>
    <message>
        <source>已退出强制模式,检查已停止。</source>
        <translation>Force mode left; the check stopped.</translation>
    </message>
    <message>
        <source>模块已不在总线上,检查已停止。</source>
        <translation>The module is no longer on the bus; the check stopped.</translation>
    </message>
    <message>
        <source>模块不再应答,检查已停止。</source>
        <translation>The module no longer answers; the check stopped.</translation>
    </message>
    <message>
        <source>等待时间内输入无变化:此项保持未检查,可由检查人判定。</source>
        <translation>The input did not change within the wait: the point stays unchecked for the checker to judge.</translation>
    </message>
    <message>
        <source>全部检查完毕。</source>
        <translation>All checked.</translation>
    </message>
    <message>
        <source>接通</source>
        <translation>On</translation>
    </message>
    <message>
        <source>请填入现场仪表读数(%)。</source>
        <translation>Enter the field meter&apos;s reading (%).</translation>
    </message>
    <message>
        <source>读数“%1”不是数字。</source>
        <translation>The reading &quot;%1&quot; is not a number.</translation>
    </message>
    <message>
        <source>设定 %1% 读数 %2%</source>
        <translation>set %1% read %2%</translation>
    </message>
    <message>
        <source>没有实时值:请先开始检查(强制模式)。</source>
        <translation>No live value: start the check first (force mode).</translation>
    </message>
    <message>
        <source>读数 %1 (%2%), 期望 %3%</source>
        <translation>read %1 (%2%), expected %3%</translation>
    </message>
    <message>
        <source>超出容差 ±%1%</source>
        <translation>outside the tolerance ±%1%</translation>
    </message>
    <message>
        <source>接线表有误</source>
        <translation>Bad wiring list</translation>
    </message>
    <message>
        <source>无法读取 %1: %2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>%1:
%2</source>
        <translation>%1:
%2</translation>
    </message>
    <message>
        <source>接线表 %1: %2 个回路。</source>
        <translation>Wiring list %1: %2 loops.</translation>
    </message>
    <message>
        <source>请先载入接线表。</source>
        <translation>Load a wiring list first.</translation>
    </message>
    <message>
        <source>所有回路都已检查。</source>
        <translation>Every loop is checked.</translation>
    </message>
    <message>
        <source>回路检查中: %1 个回路...</source>
        <translation>Checking %1 loops...</translation>
    </message>
    <message>
        <source>IO检查: 回路检查 %1 个回路</source>
        <translation>IO check-out: loop check of %1 loops</translation>
    </message>
    <message>
        <source>检查状态无法保存: %1</source>
        <translation>The check state cannot be saved: %1</translation>
    </message>
    <message>
        <source>打开接线表</source>
        <translation>Open wiring list</translation>
    </message>
    <message>
        <source>生成IO检查报告</source>
        <translation>Write the IO check-out report</translation>
    </message>
    <message>
        <source>IO检查报告已生成: %1</source>
        <translation>IO check-out report written: %1</translation>
    </message>
    <message>
        <source>报告已生成: %1</source>
        <translation>Report written: %1</translation>
    </message>
    <message>
        <source>报告无法生成: %1</source>
        <translation>Report cannot be written: %1</translation>
    </message>
</context>
<context>
    <name>LinkStatisticsView</name>
    <message>
        <source>通信统计：</source>
        <translation>Link statistics:</translation>
    </message>
    <message>
        <source>事务</source>
        <translation>Transaction</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>发往适配器的请求总数</source>
        <translation>Requests sent to the adapter</translation>
    </message>
    <message>
        <source>超时</source>
        <translation>Time-out</translation>
    </message>
    <message>
        <source>在超时时间内没有收到任何应答报文</source>
        <translation>No reply report within the time-out</translation>
    </message>
    <message>
        <source>校验错误</source>
        <translation>Check error</translation>
    </message>
    <message>
        <source>应答帧的 CRC 不正确</source>
        <translation>The reply frame&apos;s CRC is wrong</translation>
    </message>
    <message>
        <source>错误报告</source>
        <translation>Error report</translation>
    </message>
    <message>
        <source>适配器以错误报告 (0x1E) 代替应答</source>
        <translation>The adapter sent an error report (0x1E) instead of a reply</translation>
    </message>
    <message>
        <source>拒绝</source>
        <translation>Refused</translation>
    </message>
    <message>
        <source>适配器带拒绝标记应答,请求未执行</source>
        <translation>The adapter answered with the refusal mark; the request was not carried out</translation>
    </message>
    <message>
        <source>不完整应答</source>
        <translation>Incomplete reply</translation>
    </message>
    <message>
        <source>只收到应答的第一个报文</source>
        <translation>Only the reply&apos;s first report received</translation>
    </message>
    <message>
        <source>重连</source>
        <translation>Reconnects</translation>
    </message>
    <message>
        <source>连接断开后适配器重新连上的次数</source>
        <translation>Times the adapter came back after the link was lost</translation>
    </message>
    <message>
        <source>往返时间</source>
        <translation>Round trip</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>从请求的第一个报文发出到应答的最后一个报文收到,含协议规定的固定等待:最近 / 平均 / 最大</source>
        <translation>From the request&apos;s first report sent to the reply&apos;s last report received, including the protocol&apos;s fixed waits: last / mean / maximum</translation>
    </message>
    <message>
        <source>复位</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>通信统计清零</source>
        <translation>Reset the link statistics</translation>
    </message>
    <message>
        <source>最近 %1 / 平均 %2 / 最大 %3</source>
        <translation>last %1 / mean %2 / maximum %3</translation>
    </message>
</context>
<context>
    <name>Loading</name>
    <message>
        <source>加载</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>开始加载从站,请稍后！</source>
        <translation>Loading slaves, please wait!</translation>
    </message>
    <message>
        <source>正在加载第%1个从站,请稍后！</source>
        <translation>Loading slave %1, please wait!</translation>
    </message>
    <message>
        <source>TB数据准备中%1,请稍后！</source>
        <translation>Preparing data %1, please wait!</translation>
    </message>
    <message>
        <source>正在设置第%1个从站,请稍后！</source>
        <translation>Configuring slave %1, please wait!</translation>
    </message>
    <message>
        <source>加载数据超时，请检查设备！</source>
        <translation>Loading the data timed out; check the device!</translation>
    </message>
</context>
<context>
    <name>LocalConfigView</name>
    <message>
        <source>配置结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>配置状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>失败: %1</source>
        <translation>Failed: %1</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>Succeeded</translation>
    </message>
    <message>
        <source>成功%1个,失败%2个</source>
        <translation>%1 succeeded, %2 failed</translation>
    </message>
</context>
<context>
    <name>LoopTimeView</name>
    <message>
        <source>循环时间计算</source>
        <translation>Loop time</translation>
    </message>
    <message>
        <source>输入计算</source>
        <translation>Inputs</translation>
    </message>
    <message>
        <source>循环时间：</source>
        <translation>Loop time:</translation>
    </message>
    <message>
        <source>μs</source>
        <translation>μs</translation>
    </message>
    <message>
        <source>估算的总线循环时间,单位微秒</source>
        <translation>Estimated bus loop time, in microseconds</translation>
    </message>
    <message>
        <source>使用位数：</source>
        <translation>Bits used:</translation>
    </message>
    <message>
        <source>计算</source>
        <translation>Calculate</translation>
    </message>
    <message>
        <source>输出计算</source>
        <translation>Outputs</translation>
    </message>
</context>
<context>
    <name>MainProductView</name>
    <message>
        <source>适配器</source>
        <translation>Adapter</translation>
    </message>
    <message>
        <source>适配器信息</source>
        <translation>Adapter information</translation>
    </message>
    <message>
        <source>适配器参数</source>
        <translation>Adapter settings</translation>
    </message>
    <message>
        <source>地址占用</source>
        <translation>Address use</translation>
    </message>
    <message>
        <source>从站信息</source>
        <translation>Slave information</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>TarnBUSTesterTool</source>
        <translation>TarnBUSTesterTool</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>工具</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>视图</source>
        <translation>View</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>工具条</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>新建工程</source>
        <translation>New project</translation>
    </message>
    <message>
        <source>强制</source>
        <translation>Force</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>保存组态</source>
        <translation>Save configuration</translation>
    </message>
    <message>
        <source>手动组态</source>
        <translation>Offline configuration</translation>
    </message>
    <message>
        <source>导入XML文件</source>
        <translation>Import XML file</translation>
    </message>
    <message>
        <source>下载配置</source>
        <translation>Download configuration</translation>
    </message>
    <message>
        <source>对比组态</source>
        <translation>Compare configuration</translation>
    </message>
    <message>
        <source>将配置文件或离线组态与适配器的总线逐项对比</source>
        <translation>Compare a configuration file or an offline configuration with the adapter&apos;s bus, item by item</translation>
    </message>
    <message>
        <source>对齐方式</source>
        <translation>Alignment</translation>
    </message>
    <message>
        <source>取消强制</source>
        <translation>Stop forcing</translation>
    </message>
    <message>
        <source>显示工具条窗口</source>
        <translation>Show the toolbar</translation>
    </message>
    <message>
        <source>产品目录</source>
        <translation>Product catalogue</translation>
    </message>
    <message>
        <source>显示或隐藏产品目录</source>
        <translation>Show or hide the product catalogue</translation>
    </message>
    <message>
        <source>内存分配</source>
        <translation>Memory allocation</translation>
    </message>
    <message>
        <source>输入输出地址的占用情况</source>
        <translation>Use of the input and output addresses</translation>
    </message>
    <message>
        <source>在线升级</source>
        <translation>Online upgrade</translation>
    </message>
    <message>
        <source>%1 - 虚拟适配器 (%2)</source>
        <translation>%1 - virtual adapter (%2)</translation>
    </message>
    <message>
        <source>虚拟适配器: 总线文件 %1, 未连接真实硬件</source>
        <translation>Virtual adapter: bus file %1, no real hardware connected</translation>
    </message>
    <message>
        <source>演示模式: &quot;新建工程&quot;找到的适配器和模块都来自总线文件 %1。</source>
        <translation>Demonstration mode: the adapters and modules &quot;New project&quot; finds all come from the bus file %1.</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>请先选择设备!</source>
        <translation>Select a device first!</translation>
    </message>
    <message>
        <source>强制模式不可操作!</source>
        <translation>Not possible in force mode!</translation>
    </message>
    <message>
        <source>新建工程：扫描USB上的适配器并打开。
手动组态：新建一个离线组态。
点击项目树或拓扑图中的从站查看其信息；右键单击适配器打开其命令菜单。</source>
        <translation>New project: scans USB for adapters and opens them.
Offline configuration: creates a new offline configuration.
Click a slave in the project tree or the topology to see its information; right-click an adapter for its commands.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>模块只能添加到离线组态:请先选择一个手动组态。</source>
        <translation>Modules can only be added to an offline configuration: select an offline configuration first.</translation>
    </message>
    <message>
        <source>离线组态没有适配器,不可强制。</source>
        <translation>An offline configuration has no adapter and cannot force.</translation>
    </message>
    <message>
        <source>组态链接中,不可进入升级模式!</source>
        <translation>A configuration is linked; cannot enter upgrade mode!</translation>
    </message>
    <message>
        <source>对比组态需要一个在线适配器:请先选择一个已连接的适配器。</source>
        <translation>Comparing needs an online adapter: select a connected adapter first.</translation>
    </message>
    <message>
        <source>离线组态没有适配器,不在强制模式。</source>
        <translation>An offline configuration has no adapter and is not in force mode.</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>MessageWidget</name>
    <message>
        <source>消息</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>导出消息</source>
        <translation>Export messages</translation>
    </message>
    <message>
        <source>将消息列表保存为 CSV 文件</source>
        <translation>Save the message list as a CSV file</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>级别</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>信息</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>导出消息失败: %1</source>
        <translation>Exporting the messages failed: %1</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>消息已导出到 %1</source>
        <translation>Messages exported to %1</translation>
    </message>
</context>
<context>
    <name>ProductView</name>
    <message>
        <source>产品目录</source>
        <translation>Product catalogue</translation>
    </message>
    <message>
        <source>搜索型号或名称</source>
        <translation>Search type or name</translation>
    </message>
    <message>
        <source>双击模块,或把它拖到离线组态的拓扑图上,即可添加到离线组态。</source>
        <translation>Double-click a module, or drag it onto an offline configuration&apos;s topology, to add it to the offline configuration.</translation>
    </message>
</context>
<context>
    <name>ProjectView</name>
    <message>
        <source>强制模式:输出可能被强制</source>
        <translation>Force mode: outputs may be forced</translation>
    </message>
    <message>
        <source>未设定</source>
        <translation>not set</translation>
    </message>
    <message>
        <source>扫描适配器</source>
        <translation>Scan for adapters</translation>
    </message>
    <message>
        <source>添加从站模块</source>
        <translation>Add slave module</translation>
    </message>
    <message>
        <source>链接适配器</source>
        <translation>Link adapter</translation>
    </message>
    <message>
        <source>重新加载从站</source>
        <translation>Reload slaves</translation>
    </message>
    <message>
        <source>配置重复站号</source>
        <translation>Repeated stations</translation>
    </message>
    <message>
        <source>自动分配地址</source>
        <translation>Allocate addresses</translation>
    </message>
    <message>
        <source>导出组态配置</source>
        <translation>Export configuration</translation>
    </message>
    <message>
        <source>常规导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>带UID导出CSV</source>
        <translation>Export CSV with UIDs</translation>
    </message>
    <message>
        <source>导入组态配置</source>
        <translation>Import configuration</translation>
    </message>
    <message>
        <source>对比组态</source>
        <translation>Compare configuration</translation>
    </message>
    <message>
        <source>IO检查</source>
        <translation>IO check-out</translation>
    </message>
    <message>
        <source>下载组态配置</source>
        <translation>Download configuration</translation>
    </message>
    <message>
        <source>循环时间计算</source>
        <translation>Loop time</translation>
    </message>
    <message>
        <source>帧跟踪</source>
        <translation>Frame trace</translation>
    </message>
    <message>
        <source>强制</source>
        <translation>Force</translation>
    </message>
    <message>
        <source>取消强制</source>
        <translation>Stop forcing</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>删除从站模块</source>
        <translation>Delete slave module</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>USB端口已被占用!</source>
        <translation>The USB port is in use!</translation>
    </message>
    <message>
        <source>扫描中…</source>
        <translation>Scanning…</translation>
    </message>
    <message>
        <source>%1   序列号: %2</source>
        <translation>%1   serial number: %2</translation>
    </message>
    <message>
        <source>   (已在其他标签页中打开)</source>
        <translation>   (open in another tab)</translation>
    </message>
    <message>
        <source>该适配器已在标签页&quot;%1&quot;中打开,不能再次选择。</source>
        <translation>This adapter is open in the tab &quot;%1&quot; and cannot be chosen again.</translation>
    </message>
    <message>
        <source>未识别到USB接口，请检查USB是否链接正常。</source>
        <translation>No USB interface found; check the USB connection.</translation>
    </message>
</context>
<context>
    <name>ReadBack</name>
    <message>
        <source>%1: 写入 %2, 读回 %3</source>
        <translation>%1: wrote %2, read back %3</translation>
    </message>
    <message>
        <source>本地模块</source>
        <translation>Local module</translation>
    </message>
    <message>
        <source>未设定站号</source>
        <translation>No station number</translation>
    </message>
    <message>
        <source>站号%1</source>
        <translation>Station %1</translation>
    </message>
    <message>
        <source>%1 %2 (%3)</source>
        <translation>%1 %2 (%3)</translation>
    </message>
    <message>
        <source>%1 类型</source>
        <translation>%1 type</translation>
    </message>
    <message>
        <source>%1 站号</source>
        <translation>%1 station</translation>
    </message>
    <message>
        <source>%1 输入区</source>
        <translation>%1 inputs</translation>
    </message>
    <message>
        <source>%1 输出区</source>
        <translation>%1 outputs</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>适配器重启后参数未能读回</source>
        <translation>The settings could not be read back after the adapter&apos;s restart</translation>
    </message>
    <message>
        <source>%1 重启后不在总线上</source>
        <translation>%1 is not on the bus after the restart</translation>
    </message>
    <message>
        <source>%1 保存时不在总线上</source>
        <translation>%1 was not on the bus when saving</translation>
    </message>
    <message>
        <source>%1 重启后无法对应: %2</source>
        <translation>%1 cannot be matched after the restart: %2</translation>
    </message>
    <message>
        <source>……另有%1处不同</source>
        <translation>… %1 more differences</translation>
    </message>
    <message>
        <source>适配器参数写入后读回不一致</source>
        <translation>The adapter settings read back after writing differ</translation>
    </message>
    <message>
        <source>保存后读回的组态与保存的不一致</source>
        <translation>The configuration read back after saving differs from the one saved</translation>
    </message>
    <message>
        <source>组态已读回,与保存的一致。</source>
        <translation>The configuration read back matches the one saved.</translation>
    </message>
</context>
<context>
    <name>SVGManagement</name>
    <message>
        <source>输出内存超限</source>
        <translation>Output memory exceeded</translation>
    </message>
    <message>
        <source>输入内存超限</source>
        <translation>Input memory exceeded</translation>
    </message>
    <message>
        <source>输入(出)内存超限</source>
        <translation>Input and output memory exceeded</translation>
    </message>
    <message>
        <source>站号:%1  类型:</source>
        <translation>Station: %1  type:</translation>
    </message>
</context>
<context>
    <name>SettingRegisterData</name>
    <message>
        <source>打点测试</source>
        <translation>Point test</translation>
    </message>
    <message>
        <source>强制模式下才能设置输出和进行跑马灯测试。</source>
        <translation>Outputs and the running light test need force mode.</translation>
    </message>
    <message>
        <source>跑马灯测试</source>
        <translation>Running light</translation>
    </message>
    <message>
        <source>时间间隔</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>500</source>
        <translation>500</translation>
    </message>
    <message>
        <source>每一步的时间(ms),不小于500</source>
        <translation>Time of each step (ms), at least 500</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>循环次数</source>
        <translation>Rounds</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>输入站号</source>
        <translation>Input station</translation>
    </message>
    <message>
        <source>其输入被计数的从站的站号;空:不计数</source>
        <translation>Station number of the slave whose inputs are counted; empty: none</translation>
    </message>
    <message>
        <source>输入异常通道</source>
        <translation>Failed input channel</translation>
    </message>
    <message>
        <source>模拟量值</source>
        <translation>Analog value</translation>
    </message>
    <message>
        <source>跑马灯中模拟量输出接通时输出的值</source>
        <translation>Value of an analog output while it is on in the running light</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>IO类型</source>
        <translation>IO type</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>数据类型</source>
        <translation>Data type</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>输入数值后按回车输出</source>
        <translation>Enter a value and press Return to output it</translation>
    </message>
    <message>
        <source>输出 (%1)</source>
        <translation>Outputs (%1)</translation>
    </message>
    <message>
        <source>输入 (%1)</source>
        <translation>Inputs (%1)</translation>
    </message>
    <message>
        <source>链接断开,跑马灯测试已结束。</source>
        <translation>Link lost; the running light test ended.</translation>
    </message>
    <message>
        <source>已退出强制模式,跑马灯测试已结束。</source>
        <translation>Force mode left; the running light test ended.</translation>
    </message>
    <message>
        <source>模块不再应答,跑马灯测试已结束。</source>
        <translation>The module no longer answers; the running light test ended.</translation>
    </message>
    <message>
        <source>输出值“%1”超出范围(%2到%3)!</source>
        <translation>The output value &quot;%1&quot; is out of range (%2 to %3)!</translation>
    </message>
    <message>
        <source>时间间隔不可小于500ms</source>
        <translation>The interval cannot be under 500 ms</translation>
    </message>
    <message>
        <source>循环次数不可小于零!</source>
        <translation>The number of rounds cannot be negative!</translation>
    </message>
    <message>
        <source>输入站号“%1”没有带输入的从站!</source>
        <translation>The input station &quot;%1&quot; is no slave with inputs!</translation>
    </message>
    <message>
        <source>请先进入强制模式!</source>
        <translation>Enter force mode first!</translation>
    </message>
    <message>
        <source>该模块没有输出区,不可做跑马灯测试!</source>
        <translation>This module has no outputs; no running light test!</translation>
    </message>
    <message>
        <source>模拟量值“%1”超出范围(%2到%3,且不为0)!</source>
        <translation>The analog value &quot;%1&quot; is out of range (%2 to %3, and not 0)!</translation>
    </message>
    <message>
        <source>结束</source>
        <translation>End</translation>
    </message>
    <message>
        <source>第 %1 轮,第 %2 步</source>
        <translation>Round %1, step %2</translation>
    </message>
    <message>
        <source>完成 %1 轮</source>
        <translation>%1 rounds done</translation>
    </message>
    <message>
        <source>未监视输入站号,没有判定。</source>
        <translation>No input station watched; no verdict.</translation>
    </message>
    <message>
        <source>未完成一轮,没有判定。</source>
        <translation>No round completed; no verdict.</translation>
    </message>
    <message>
        <source>结果: 通过 (站号%1的全部输入跟随)</source>
        <translation>Result: passed (every input of station %1 followed)</translation>
    </message>
    <message>
        <source>结果: 失败 (站号%1的输入通道 %2 未跟随)</source>
        <translation>Result: failed (input channel %2 of station %1 did not follow)</translation>
    </message>
</context>
<context>
    <name>SettingView</name>
    <message>
        <source>新建适配器</source>
        <translation>New adapter</translation>
    </message>
    <message>
        <source>通信接口：</source>
        <translation>Interface:</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>手动</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>扫描</source>
        <translation>Scan</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>未选择适配器!</source>
        <translation>No adapter selected!</translation>
    </message>
    <message>
        <source>通信异常，请检测设备类型。</source>
        <translation>Communication fault; check the device type.</translation>
    </message>
    <message>
        <source>通信异常，请检查设备类型。</source>
        <translation>Communication fault; check the device type.</translation>
    </message>
</context>
<context>
    <name>SlaveEdit</name>
    <message>
        <source>站号 %1→%2</source>
        <translation>station %1→%2</translation>
    </message>
    <message>
        <source>输入区 %1→%2</source>
        <translation>inputs %1→%2</translation>
    </message>
    <message>
        <source>输出区 %1→%2</source>
        <translation>outputs %1→%2</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameters</translation>
    </message>
</context>
<context>
    <name>SlaveInfoView</name>
    <message>
        <source>基本信息</source>
        <translation>Basic information</translation>
    </message>
    <message>
        <source>项目</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>配置参数</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>通道数</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>参数恢复为设备描述中的默认值（应用后生效）</source>
        <translation>Parameters back to the device description&apos;s defaults (take effect on Apply)</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>输入数据</source>
        <translation>Input data</translation>
    </message>
    <message>
        <source>输入值只在强制模式下读取:强制模式外不显示数值。</source>
        <translation>Inputs are read only in force mode: outside it no values are shown.</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>数据类型</source>
        <translation>Data type</translation>
    </message>
    <message>
        <source>地址占用</source>
        <translation>Address use</translation>
    </message>
    <message>
        <source>滤波等级</source>
        <translation>Filter level</translation>
    </message>
    <message>
        <source>总线故障输出</source>
        <translation>Output on bus fault</translation>
    </message>
    <message>
        <source>替代值</source>
        <translation>Substitute value</translation>
    </message>
    <message>
        <source>速度档位</source>
        <translation>Speed step</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>加速档位</source>
        <translation>Acceleration step</translation>
    </message>
    <message>
        <source>刹车</source>
        <translation>Brake</translation>
    </message>
    <message>
        <source>正反转</source>
        <translation>Forward/reverse</translation>
    </message>
    <message>
        <source>霍尔模式</source>
        <translation>Hall mode</translation>
    </message>
    <message>
        <source>电机学习</source>
        <translation>Motor learning</translation>
    </message>
    <message>
        <source>加速时间</source>
        <translation>Acceleration time</translation>
    </message>
    <message>
        <source>减速时间</source>
        <translation>Deceleration time</translation>
    </message>
    <message>
        <source>转速</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>电压</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>功率</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>最大转速</source>
        <translation>Maximum speed</translation>
    </message>
    <message>
        <source>霍尔相位</source>
        <translation>Hall phase</translation>
    </message>
    <message>
        <source>故障码</source>
        <translation>Fault code</translation>
    </message>
    <message>
        <source>字节</source>
        <translation>Byte</translation>
    </message>
    <message>
        <source>位</source>
        <translation>Bit</translation>
    </message>
    <message>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>输入起始地址 (%1)</source>
        <translation>Input start address (%1)</translation>
    </message>
    <message>
        <source>输出起始地址 (%1)</source>
        <translation>Output start address (%1)</translation>
    </message>
    <message>
        <source>通信故障</source>
        <translation>Communication fault</translation>
    </message>
    <message>
        <source>配置故障</source>
        <translation>Configuration fault</translation>
    </message>
    <message>
        <source>主电低</source>
        <translation>Main power low</translation>
    </message>
    <message>
        <source>隔离电异常</source>
        <translation>Isolated power fault</translation>
    </message>
    <message>
        <source>故障1</source>
        <translation>Fault 1</translation>
    </message>
    <message>
        <source>故障2</source>
        <translation>Fault 2</translation>
    </message>
    <message>
        <source>拓展故障码1</source>
        <translation>Extended fault code 1</translation>
    </message>
    <message>
        <source>拓展故障码2</source>
        <translation>Extended fault code 2</translation>
    </message>
    <message>
        <source>%1 (%2 字节)</source>
        <translation>%1 (%2 bytes)</translation>
    </message>
    <message>
        <source>%1 (%2 位)</source>
        <translation>%1 (%2 bits)</translation>
    </message>
    <message>
        <source>IO测试</source>
        <translation>IO test</translation>
    </message>
    <message>
        <source>打开该从站的IO测试窗口</source>
        <translation>Open the IO test window of this slave</translation>
    </message>
    <message>
        <source>该模块没有自己的设备描述,配置不可修改。</source>
        <translation>This module has no device description of its own; its configuration cannot be changed.</translation>
    </message>
    <message>
        <source>模块处于强制状态,不可修改参数!</source>
        <translation>The module is forced; its parameters cannot be changed!</translation>
    </message>
    <message>
        <source>已修改,点击“应用”写入模块。</source>
        <translation>Changed; &quot;Apply&quot; writes it to the module.</translation>
    </message>
    <message>
        <source>%1 (无效)</source>
        <translation>%1 (invalid)</translation>
    </message>
    <message>
        <source>1 到 128</source>
        <translation>1 to 128</translation>
    </message>
    <message>
        <source>起始地址,以字节计</source>
        <translation>start address, in bytes</translation>
    </message>
    <message>
        <source>起始地址,以位计</source>
        <translation>start address, in bits</translation>
    </message>
    <message>
        <source>%1 通道 / %2 位</source>
        <translation>%1 channels / %2 bits</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>开启</source>
        <translation>On</translation>
    </message>
    <message>
        <source>输入起始地址“%1”不是有效的地址,设置失败!</source>
        <translation>The input start address &quot;%1&quot; is not a valid address; setting failed!</translation>
    </message>
    <message>
        <source>输出起始地址“%1”不是有效的地址,设置失败!</source>
        <translation>The output start address &quot;%1&quot; is not a valid address; setting failed!</translation>
    </message>
    <message>
        <source>输入地址超限,设置失败!</source>
        <translation>Input address out of range; setting failed!</translation>
    </message>
    <message>
        <source>输出地址超限,设置失败!</source>
        <translation>Output address out of range; setting failed!</translation>
    </message>
    <message>
        <source>站号不可大于128!</source>
        <translation>Station numbers cannot exceed 128!</translation>
    </message>
    <message>
        <source>站号必须是1到128之间的数字!</source>
        <translation>The station number must be a number from 1 to 128!</translation>
    </message>
    <message>
        <source>从站站号冲突,设置失败! 站号%1已是%2的站号。</source>
        <translation>Station number conflict; setting failed! Station %1 is already %2&apos;s.</translation>
    </message>
    <message>
        <source>未设定</source>
        <translation>not set</translation>
    </message>
    <message>
        <source>输入量地址冲突! 与站号%1 (%2) 的输入区重叠。</source>
        <translation>Input address conflict! Overlaps the inputs of station %1 (%2).</translation>
    </message>
    <message>
        <source>输出量地址冲突! 与站号%1 (%2) 的输出区重叠。</source>
        <translation>Output address conflict! Overlaps the outputs of station %1 (%2).</translation>
    </message>
    <message>
        <source>参数“%1”的值“%2”超出范围,设置失败!</source>
        <translation>The value &quot;%2&quot; of the parameter &quot;%1&quot; is out of range; setting failed!</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>类别</source>
        <translation>Category</translation>
    </message>
    <message>
        <source>硬件编码</source>
        <translation>Hardware code</translation>
    </message>
    <message>
        <source>输入区</source>
        <translation>Inputs</translation>
    </message>
    <message>
        <source>输出区</source>
        <translation>Outputs</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>在线</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>离线</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>强制</source>
        <translation>Force</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>异常</source>
        <translation>Fault</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Normal</translation>
    </message>
</context>
<context>
    <name>SlaveItemView</name>
    <message>
        <source>站号：</source>
        <translation>Station:</translation>
    </message>
    <message>
        <source>未设定</source>
        <translation>not set</translation>
    </message>
    <message>
        <source>定位灯</source>
        <translation>Locator lamp</translation>
    </message>
    <message>
        <source>类型：</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>空</source>
        <translation>empty</translation>
    </message>
    <message>
        <source>Unique ID：</source>
        <translation>Unique ID:</translation>
    </message>
    <message>
        <source>12</source>
        <translation>12</translation>
    </message>
    <message>
        <source>通信：</source>
        <translation>Comm:</translation>
    </message>
    <message>
        <source>参数：</source>
        <translation>Param:</translation>
    </message>
    <message>
        <source>故障：</source>
        <translation>Fault:</translation>
    </message>
    <message>
        <source>查看故障码</source>
        <translation>Fault codes</translation>
    </message>
    <message>
        <source>异常</source>
        <translation>Fault</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>配置</source>
        <translation>Configure</translation>
    </message>
    <message>
        <source>在线</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>离线</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>地址冲突</source>
        <translation>Conflict</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>      强制状态不可操作！    </source>
        <translation>      Not possible in force mode!    </translation>
    </message>
    <message>
        <source>从站故障：%1</source>
        <translation>Slave fault: %1</translation>
    </message>
    <message>
        <source>从站复位</source>
        <translation>Reset slave</translation>
    </message>
    <message>
        <source>修改站号</source>
        <translation>Change station</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>站点数据异常!</source>
        <translation>Bad station data!</translation>
    </message>
    <message>
        <source>站点不存在，不可操作!</source>
        <translation>The station does not exist!</translation>
    </message>
</context>
<context>
    <name>SlaveMainWindow</name>
    <message>
        <source>总线电源：</source>
        <translation>Bus power:</translation>
    </message>
    <message>
        <source>输入电源：</source>
        <translation>Input power:</translation>
    </message>
    <message>
        <source>通信状态：</source>
        <translation>Communication:</translation>
    </message>
    <message>
        <source>从站状态：</source>
        <translation>Slaves:</translation>
    </message>
    <message>
        <source>从站数量：</source>
        <translation>Slaves:</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>功率：</source>
        <translation>Power:</translation>
    </message>
    <message>
        <source>1 W</source>
        <translation>1 W</translation>
    </message>
    <message>
        <source>温度：</source>
        <translation>Temperature:</translation>
    </message>
    <message>
        <source>0 °C</source>
        <translation>0 °C</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>刷新功率和温度</source>
        <translation>Refresh power and temperature</translation>
    </message>
    <message>
        <source>强制</source>
        <translation>Force</translation>
    </message>
    <message>
        <source>模块</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>列表</source>
        <translation>List</translation>
    </message>
    <message>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Unique ID</source>
        <translation>Unique ID</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>%1: 未知。%2</source>
        <translation>%1: unknown. %2</translation>
    </message>
    <message>
        <source>%1: 正常</source>
        <translation>%1: normal</translation>
    </message>
    <message>
        <source>%1: 异常。%2</source>
        <translation>%1: fault. %2</translation>
    </message>
    <message>
        <source>总线电源</source>
        <translation>Bus power</translation>
    </message>
    <message>
        <source>适配器报告总线电源故障(状态位0)。</source>
        <translation>The adapter reports a bus power fault (status bit 0).</translation>
    </message>
    <message>
        <source>输入电源</source>
        <translation>Input power</translation>
    </message>
    <message>
        <source>适配器报告输入电源故障(状态位1),请检查24V供电。</source>
        <translation>The adapter reports an input power fault (status bit 1); check the 24 V supply.</translation>
    </message>
    <message>
        <source>通信状态</source>
        <translation>Communication</translation>
    </message>
    <message>
        <source>适配器报告总线通信故障(状态位4)。</source>
        <translation>The adapter reports a bus communication fault (status bit 4).</translation>
    </message>
    <message>
        <source>从站状态</source>
        <translation>Slaves</translation>
    </message>
    <message>
        <source>至少一个从站报告故障(状态位2),请查看从站的故障。</source>
        <translation>At least one slave reports a fault (status bit 2); see the slaves&apos; faults.</translation>
    </message>
    <message>
        <source>未设定</source>
        <translation>not set</translation>
    </message>
    <message>
        <source>在线</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>离线</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>,地址冲突</source>
        <translation>, address conflict</translation>
    </message>
</context>
<context>
    <name>SwapMemoryView</name>
    <message>
        <source>输入 位 %1 (字节 %2.%3)</source>
        <translation>Input bit %1 (byte %2.%3)</translation>
    </message>
    <message>
        <source>输出 位 %1 (字节 %2.%3)</source>
        <translation>Output bit %1 (byte %2.%3)</translation>
    </message>
    <message>
        <source>未设定</source>
        <translation>not set</translation>
    </message>
    <message>
        <source>站号 %1  %2  (%3..%4)</source>
        <translation>Station %1  %2  (%3..%4)</translation>
    </message>
    <message>
        <source>空闲</source>
        <translation>Idle</translation>
    </message>
    <message>
        <source>地址冲突!</source>
        <translation>Address conflict!</translation>
    </message>
    <message>
        <source>输入映像</source>
        <translation>Input image</translation>
    </message>
    <message>
        <source>输出映像</source>
        <translation>Output image</translation>
    </message>
    <message>
        <source>  已用 %1 / %2 位</source>
        <translation>  %1 / %2 bits used</translation>
    </message>
    <message>
        <source>冲突 %1 位</source>
        <translation>%1 bits in conflict</translation>
    </message>
    <message>
        <source>已占用</source>
        <translation>Used</translation>
    </message>
    <message>
        <source>冲突</source>
        <translation>Conflict</translation>
    </message>
    <message>
        <source>当前从站</source>
        <translation>Current slave</translation>
    </message>
</context>
<context>
    <name>TabWidget</name>
    <message>
        <source>点击“新建工程”扫描USB上的适配器并打开它，
或点击“手动组态”新建一个离线组态。</source>
        <translation>Click &quot;New project&quot; to scan USB for adapters and open them,
or &quot;Offline configuration&quot; to create an offline configuration.</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>适配器链接已断开,无法确认其已退出强制模式,输出可能仍处于强制状态。
仍要关闭吗?</source>
        <translation>The adapter link is lost: cannot confirm that it left force mode; outputs may still be forced.
Close anyway?</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>强制模式不可操作!</source>
        <translation>Not possible in force mode!</translation>
    </message>
    <message>
        <source>适配器的输出仍被强制。是否先退出强制模式,再继续?</source>
        <translation>The adapter&apos;s outputs are still forced. Leave force mode before going on?</translation>
    </message>
    <message>
        <source>退出强制模式并继续</source>
        <translation>Leave force mode and go on</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>离线配置&quot;%1&quot;(%2个模块)有修改尚未导出,关闭后将丢失。
是否先导出?</source>
        <translation>The offline configuration &quot;%1&quot; (%2 modules) has changes not yet exported; closing loses them.
Export first?</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>放弃</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>    适配器已连接,请勿重复添加！  </source>
        <translation>    The adapter is already connected; do not add it again!  </translation>
    </message>
    <message>
        <source>%1 [强制]</source>
        <translation>%1 [forced]</translation>
    </message>
    <message>
        <source>    强制模式下不可设置！  </source>
        <translation>    Cannot be set in force mode!  </translation>
    </message>
</context>
<context>
    <name>UnAllocation</name>
    <message>
        <source>批量配置重复站号</source>
        <translation>Configure repeated stations</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>UUID</source>
        <translation>UUID</translation>
    </message>
    <message>
        <source>站号</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>自动生成站号</source>
        <translation>Generate station numbers</translation>
    </message>
    <message>
        <source>下发配置</source>
        <translation>Write configuration</translation>
    </message>
    <message>
        <source>以下%1个从站需要重新分配站号:</source>
        <translation>These %1 slaves need new station numbers:</translation>
    </message>
    <message>
        <source>没有站号重复的从站。</source>
        <translation>No slaves with repeated station numbers.</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>第%1行站号不是数字: %2</source>
        <translation>Line %1: the station number is not a number: %2</translation>
    </message>
    <message>
        <source>第%1行站号超出范围(1-128): %2</source>
        <translation>Line %1: station number out of range (1-128): %2</translation>
    </message>
    <message>
        <source>第%1行站号重复: %2</source>
        <translation>Line %1: station number repeated: %2</translation>
    </message>
</context>
<context>
    <name>VirtualAdapterLauncher</name>
    <message>
        <source>the virtual adapter (%1) could not be preloaded</source>
        <translation>the virtual adapter (%1) could not be preloaded</translation>
    </message>
    <message>
        <source>%1: cannot read the bus file</source>
        <translation>%1: cannot read the bus file</translation>
    </message>
    <message>
        <source>the virtual adapter (%1) is not installed</source>
        <translation>the virtual adapter (%1) is not installed</translation>
    </message>
    <message>
        <source>cannot start %1 again on the virtual adapter</source>
        <translation>cannot start %1 again on the virtual adapter</translation>
    </message>
</context>
<context>
    <name>WindowCommandLine</name>
    <message>
        <source>--demo: the demonstration bus (buses/demo.json) is in none of %1</source>
        <translation>--demo: the demonstration bus (buses/demo.json) is in none of %1</translation>
    </message>
    <message>
        <source>--demo= needs a bus file</source>
        <translation>--demo= needs a bus file</translation>
    </message>
    <message>
        <source>--lang needs zh or en</source>
        <translation>--lang needs zh or en</translation>
    </message>
    <message>
        <source>--lang is zh or en, not &quot;%1&quot;</source>
        <translation>--lang is zh or en, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Usage: tarnbus-tester [--demo [BUS]] [--lang zh|en]

Commissioning and test tool for TarnBUS fieldbus adapters: finds the adapters on USB, reads
their buses, sets station numbers, IO addresses and parameters, forces outputs and watches
inputs, imports and exports configurations, keeps offline configurations, imports device
descriptions and upgrades adapter firmware.

Options:
  --demo [BUS]  run on the virtual adapter instead of USB, with the adapters and modules of
                the bus file BUS (default: the demonstration bus, buses/demo.json of the
                data folders); no hardware is needed, and the window says so
  --lang zh|en  the language of the window: Chinese or English (default: the one chosen in
                its menu &quot;语言 / Language&quot;, else the system&apos;s: zh* Chinese, else English)
  -h, --help    show this help and exit
  --version     show the version and exit

Qt&apos;s own options (-platform, -style, ...) are accepted as well.

Exit status: 0 when the window was closed; 2 for --demo without a readable bus file or
without the virtual adapter.
</source>
        <translation>Usage: tarnbus-tester [--demo [BUS]] [--lang zh|en]

Commissioning and test tool for TarnBUS fieldbus adapters: finds the adapters on USB, reads
their buses, sets station numbers, IO addresses and parameters, forces outputs and watches
inputs, imports and exports configurations, keeps offline configurations, imports device
descriptions and upgrades adapter firmware.

Options:
  --demo [BUS]  run on the virtual adapter instead of USB, with the adapters and modules of
                the bus file BUS (default: the demonstration bus, buses/demo.json of the
                data folders); no hardware is needed, and the window says so
  --lang zh|en  the language of the window: Chinese or English (default: the one chosen in
                its menu &quot;语言 / Language&quot;, else the system&apos;s: zh* Chinese, else English)
  -h, --help    show this help and exit
  --version     show the version and exit

Qt&apos;s own options (-platform, -style, ...) are accepted as well.

Exit status: 0 when the window was closed; 2 for --demo without a readable bus file or
without the virtual adapter.
</translation>
    </message>
</context>
<context>
    <name>XMLConfig</name>
    <message>
        <source>导入XML配置</source>
        <translation>Import XML descriptions</translation>
    </message>
    <message>
        <source>配置路径</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>配置列表</source>
        <translation>Configuration list</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>将所选描述文件复制到Xml文件夹并重新加载设备库；点击“Add Image”为描述添加模块图片。</source>
        <translation>Copies the chosen description files into the Xml folder and reloads the device library; &quot;Add Image&quot; adds a module picture for a description.</translation>
    </message>
    <message>
        <source>Add Image</source>
        <translation>Add Image</translation>
    </message>
    <message>
        <source>为该描述添加模块图片</source>
        <translation>Add a module picture for this description</translation>
    </message>
    <message>
        <source>Config file</source>
        <translation>Config file</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>请先选择XML文件!</source>
        <translation>Choose an XML file first!</translation>
    </message>
    <message>
        <source>导入XML文件失败!
%1</source>
        <translation>Importing the XML file failed!
%1</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>导入XML文件成功！</source>
        <translation>XML file imported!</translation>
    </message>
    <message>
        <source>%1 的图片文件夹名&quot;%2&quot;无效,不能添加图片。</source>
        <translation>The image folder name &quot;%2&quot; of %1 is invalid; no image can be added.</translation>
    </message>
    <message>
        <source>Image file</source>
        <translation>Image file</translation>
    </message>
    <message>
        <source>      图片添加完成！    </source>
        <translation>      Image added!    </translation>
    </message>
    <message>
        <source>图片添加失败!
%1</source>
        <translation>Adding the image failed!
%1</translation>
    </message>
    <message>
        <source>无法读取文件%1: %2</source>
        <translation>Cannot read the file %1: %2</translation>
    </message>
    <message>
        <source>无法创建文件夹%1</source>
        <translation>Cannot create the folder %1</translation>
    </message>
    <message>
        <source>无法写入%1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>文件名无效: %1</source>
        <translation>Invalid file name: %1</translation>
    </message>
    <message>
        <source>%1 不是有效的XML文件: %2</source>
        <translation>%1 is not a valid XML file: %2</translation>
    </message>
    <message>
        <source>%1 中没有设备描述</source>
        <translation>No device descriptions in %1</translation>
    </message>
</context>
<context>
    <name>appcore::checkout::LoopRunner</name>
    <message>
        <source>输出%1接通后,输入%2未跟随(读到 %3,应为 %4)</source>
        <translation>After output %1 went on, input %2 did not follow (read %3, should be %4)</translation>
    </message>
    <message>
        <source>输出%1断开后,输入%2未复位(读到 %3)</source>
        <translation>After output %1 went off, input %2 did not reset (read %3)</translation>
    </message>
    <message>
        <source>输出%1接通前,输入%2已为 %3</source>
        <translation>Before output %1 was on, input %2 was already %3</translation>
    </message>
    <message>
        <source>接通 %1 读 %2, 断开 0 读 0</source>
        <translation>on %1 read %2, off 0 read 0</translation>
    </message>
    <message>
        <source>自动回路</source>
        <translation>Automatic loops</translation>
    </message>
    <message>
        <source>回路 → %1</source>
        <translation>Loop → %1</translation>
    </message>
    <message>
        <source>回路 ← %1</source>
        <translation>Loop ← %1</translation>
    </message>
</context>
</TS>
