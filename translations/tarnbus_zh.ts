<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>AdapterSession</name>
    <message>
        <source>leaving force mode</source>
        <translation>正在退出强制模式</translation>
    </message>
    <message>
        <source>waiting for the bus scan (%1)</source>
        <translation>正在等待总线扫描(%1)</translation>
    </message>
    <message>
        <source>loading modules: %1</source>
        <translation>正在加载模块: %1</translation>
    </message>
    <message>
        <source>writing modules: %1</source>
        <translation>正在写入模块: %1</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>%1 and %2 share inputs %3</source>
        <translation>%1 与 %2 的输入 %3 重叠</translation>
    </message>
    <message>
        <source>%1 and %2 share outputs %3</source>
        <translation>%1 与 %2 的输出 %3 重叠</translation>
    </message>
    <message>
        <source> (modules share bits; nothing was written)</source>
        <translation>(模块的地址重叠,未写入任何内容)</translation>
    </message>
    <message>
        <source>the adapter did not confirm the download</source>
        <translation>适配器未确认下载</translation>
    </message>
    <message>
        <source>the modules take %1 input bits and %2 output bits</source>
        <translation>模块共占用 %1 个输入位和 %2 个输出位</translation>
    </message>
    <message>
        <source>%1: modules that do not fit keep their areas</source>
        <translation>%1: 放不下的模块保持原有地址</translation>
    </message>
    <message>
        <source>addresses allocated</source>
        <translation>地址已分配</translation>
    </message>
    <message>
        <source>no repeated stations</source>
        <translation>没有重复的站号</translation>
    </message>
    <message>
        <source>no free station number is left for %1</source>
        <translation>已没有空闲站号可分配给 %1</translation>
    </message>
    <message>
        <source>%1 gets station %2</source>
        <translation>%1 分配站号 %2</translation>
    </message>
    <message>
        <source>repeated stations repaired</source>
        <translation>重复站号已修复</translation>
    </message>
    <message>
        <source>configuration downloaded</source>
        <translation>配置已下载</translation>
    </message>
    <message>
        <source>%1 (%2 modules on the bus)</source>
        <translation>%1(总线上有 %2 个模块)</translation>
    </message>
    <message>
        <source>storing the configuration; the adapter restarts</source>
        <translation>正在保存组态,适配器将重启</translation>
    </message>
    <message>
        <source>the adapter did not confirm storing the configuration</source>
        <translation>适配器未确认保存组态</translation>
    </message>
    <message>
        <source>the adapter did not come back after storing: the stored configuration is not verified</source>
        <translation>保存组态后适配器未重新连接: 保存的组态未经核对</translation>
    </message>
    <message>
        <source>configuration stored; the adapter restarted (%1)</source>
        <translation>组态已保存,适配器已重启(%1)</translation>
    </message>
    <message>
        <source>read back after the restart: the bus holds what was stored</source>
        <translation>重启后读回: 总线上的组态与保存的一致</translation>
    </message>
    <message>
        <source>pass</source>
        <translation>通过</translation>
    </message>
    <message>
        <source>fail</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>跳过</translation>
    </message>
    <message>
        <source>open</source>
        <translation>未检查</translation>
    </message>
    <message>
        <source>give the wiring map with --wiring FILE and the report with --report OUT.pdf</source>
        <translation>请用 --wiring FILE 指定接线表,用 --report OUT.pdf 指定报告</translation>
    </message>
    <message>
        <source>--settle takes milliseconds (0 to 600000), not &quot;%1&quot;</source>
        <translation>--settle 的值是毫秒数(0 到 600000),而不是“%1”</translation>
    </message>
    <message>
        <source>cannot read the wiring map: %1</source>
        <translation>无法读取接线表: %1</translation>
    </message>
    <message>
        <source>module exchanged, its rows start again: %1</source>
        <translation>模块已更换,其各行重新检查: %1</translation>
    </message>
    <message>
        <source>resuming: %1 of %2 loops were checked before</source>
        <translation>继续上次的检查: %2 个回路中已检查 %1 个</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>无法写入 %1: %2</translation>
    </message>
    <message>
        <source>cannot save the check-out: %1</source>
        <translation>无法保存IO检查记录: %1</translation>
    </message>
    <message>
        <source>loops: %1 pass, %2 fail, %3 open of %4</source>
        <translation>回路: 共 %4 个,通过 %1 个,失败 %2 个,未检查 %3 个</translation>
    </message>
    <message>
        <source>check-out: %1 pass, %2 fail, %3 skipped, %4 open of %5 channels</source>
        <translation>IO检查: 共 %5 个通道,通过 %1 个,失败 %2 个,跳过 %3 个,未检查 %4 个</translation>
    </message>
    <message>
        <source>report written: %1</source>
        <translation>报告已写入: %1</translation>
    </message>
    <message>
        <source>interrupted; the loops left open are checked next time</source>
        <translation>已中断; 未检查的回路下次继续检查</translation>
    </message>
    <message>
        <source>the link to the adapter is lost; the loops left open are checked next time</source>
        <translation>与适配器的链路已断开; 未检查的回路下次继续检查</translation>
    </message>
    <message>
        <source>force mode could not be entered</source>
        <translation>无法进入强制模式</translation>
    </message>
    <message>
        <source>the adapter left force mode; the loops left open are checked next time</source>
        <translation>适配器已退出强制模式; 未检查的回路下次继续检查</translation>
    </message>
    <message>
        <source>a module of a loop is gone from the bus; the loops left open are checked next time</source>
        <translation>回路中的模块已从总线上消失; 未检查的回路下次继续检查</translation>
    </message>
    <message>
        <source>the adapter to use (default: the only one on USB)</source>
        <translation>要使用的适配器(默认: USB上唯一的适配器)</translation>
    </message>
    <message>
        <source>the virtual adapter with this bus file instead of USB</source>
        <translation>使用带此总线文件的虚拟适配器,而不是USB</translation>
    </message>
    <message>
        <source>results as JSON</source>
        <translation>以JSON输出结果</translation>
    </message>
    <message>
        <source>no notes and no progress on standard error</source>
        <translation>标准错误上不输出提示和进度</translation>
    </message>
    <message>
        <source>bit or byte alignment (default: the window&apos;s, ~/.config/tarnbus-tester/setByte.ini)</source>
        <translation>位对齐或字节对齐(默认: 窗口的设置,~/.config/tarnbus-tester/setByte.ini)</translation>
    </message>
    <message>
        <source>every report to and from the adapter into FILE: a .pcap capture (Wireshark, tcpdump), else text</source>
        <translation>将与适配器往来的每个报文写入FILE: .pcap 为抓包文件(Wireshark、tcpdump),否则为文本</translation>
    </message>
    <message>
        <source>the language of the texts (default: the window&apos;s choice, else the system&apos;s: zh* Chinese, else English)</source>
        <translation>文字的语言(默认: 窗口中的选择,否则按系统: zh* 为中文,其他为英文)</translation>
    </message>
    <message>
        <source>this help, or a command&apos;s after its name</source>
        <translation>显示此帮助;放在命令名之后则显示该命令的帮助</translation>
    </message>
    <message>
        <source>the version of the tool</source>
        <translation>显示工具的版本</translation>
    </message>
    <message>
        <source>run &apos;%1 --help&apos; for the commands</source>
        <translation>运行 &apos;%1 --help&apos; 查看命令</translation>
    </message>
    <message>
        <source>run &apos;%1 %2 --help&apos; for its arguments</source>
        <translation>运行 &apos;%1 %2 --help&apos; 查看其参数</translation>
    </message>
    <message>
        <source>--lang is zh or en, not &quot;%1&quot;</source>
        <translation>--lang 的值是 zh 或 en,而不是“%1”</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>未给出命令</translation>
    </message>
    <message>
        <source>no command &quot;%1&quot;</source>
        <translation>没有命令“%1”</translation>
    </message>
    <message>
        <source>usage: %1 %2 %3</source>
        <translation>用法: %1 %2 %3</translation>
    </message>
    <message>
        <source>--alignment is 1 (bits) or 8 (bytes), not &quot;%1&quot;</source>
        <translation>--alignment 的值是 1(位)或 8(字节),而不是“%1”</translation>
    </message>
    <message>
        <source>--%1 is only for the virtual adapter (--bus)</source>
        <translation>--%1 只能用于虚拟适配器(--bus)</translation>
    </message>
    <message>
        <source>--trace: cannot write &quot;%1&quot;</source>
        <translation>--trace: 无法写入“%1”</translation>
    </message>
    <message>
        <source>trace: %1</source>
        <translation>帧跟踪: %1</translation>
    </message>
    <message>
        <source>trace: %1 reports written to %2</source>
        <translation>帧跟踪: %1 个报文已写入 %2</translation>
    </message>
    <message>
        <source>Usage: %1 [OPTIONS] COMMAND [ARGUMENTS]
</source>
        <translation>用法: %1 [选项] 命令 [参数]
</translation>
    </message>
    <message>
        <source>Drives a TarnBUS adapter from the command line, through the same Adapter as the window.
</source>
        <translation>在命令行上操作 TarnBUS 适配器,与窗口使用同一个 Adapter。
</translation>
    </message>
    <message>
        <source>Commands:
</source>
        <translation>命令:
</translation>
    </message>
    <message>
        <source>Options of every command:
</source>
        <translation>所有命令通用的选项:
</translation>
    </message>
    <message>
        <source>Exit status: 0 success; 1 the operation failed on the bus (refused, time-out, checksum,
link lost); 2 bad usage, a bad input file or an upgrade not confirmed, nothing written to an
adapter; 3 diff: the bus differs from the file; 130 interrupted.
</source>
        <translation>退出状态: 0 成功; 1 操作在总线上失败(被拒绝、超时、校验错误、链路断开);
2 用法错误、输入文件有误或升级未获确认,未向适配器写入任何内容;
3 diff: 总线与文件不一致; 130 被中断。
</translation>
    </message>
    <message>
        <source>
Example, on the demonstration bus of the virtual adapter (sim/buses/demo.json in a checkout):
  </source>
        <translation>
示例,在虚拟适配器的演示总线上(源码目录中为 sim/buses/demo.json):
  </translation>
    </message>
    <message>
        <source>
Run &apos;%1 COMMAND --help&apos; for a command&apos;s arguments; the manual page (man %1) and
docs/cli.md have the details.
</source>
        <translation>
运行 &apos;%1 命令 --help&apos; 查看命令的参数; 详见手册页(man %1)和
docs/cli.md。
</translation>
    </message>
    <message>
        <source>Usage: %1 [OPTIONS] %2
</source>
        <translation>用法: %1 [选项] %2
</translation>
    </message>
    <message>
        <source>Arguments:
</source>
        <translation>参数:
</translation>
    </message>
    <message>
        <source>Options:
</source>
        <translation>选项:
</translation>
    </message>
    <message>
        <source>Options of every command: --adapter SERIAL, --bus FILE, --json, --quiet, --alignment 1|8, --trace FILE,
--lang zh|en
</source>
        <translation>所有命令通用的选项: --adapter SERIAL、--bus FILE、--json、--quiet、--alignment 1|8、--trace FILE、
--lang zh|en
</translation>
    </message>
    <message>
        <source>Example:
</source>
        <translation>示例:
</translation>
    </message>
    <message>
        <source>could not leave force mode: the outputs may still be forced</source>
        <translation>无法退出强制模式: 输出可能仍被强制</translation>
    </message>
    <message>
        <source>the adapters on USB</source>
        <translation>USB上的适配器</translation>
    </message>
    <message>
        <source>Lists the TarnBUS adapters attached to USB: serial number (the adapter&apos;s MAC), product text,
manufacturer and USB release. Does not connect to them.</source>
        <translation>列出连接在USB上的 TarnBUS 适配器: 序列号(即适配器的MAC)、产品文字、
制造商和USB版本。不与适配器建立连接。</translation>
    </message>
    <message>
        <source>identity, settings, power and the module table</source>
        <translation>标识、设置、功率和模块表</translation>
    </message>
    <message>
        <source>Connects, reads the bus and prints the adapter&apos;s identity, settings, power and temperature, and
one row per module: station, type, class, UID, input and output areas (bit addresses),
state byte and the fault flags that read abnormal. With --stats also the link&apos;s counters
of this connection: transactions, time-outs, checksum errors, error reports, refusals,
incomplete replies, reconnects and the round trip (last, mean, max).</source>
        <translation>连接并读取总线,输出适配器的标识、设置、功率和温度,以及每个模块一行:
站号、类型、类别、UID、输入和输出区(位地址)、状态字节和读数异常的故障标志。
加 --stats 时还输出本次连接的链路计数: 事务数、超时、校验错误、错误报告、
拒绝、不完整应答、重连次数和往返时间(最近、平均、最大)。</translation>
    </message>
    <message>
        <source>also the link&apos;s counters</source>
        <translation>同时输出链路计数</translation>
    </message>
    <message>
        <source>print every change of the bus</source>
        <translation>输出总线的每一个变化</translation>
    </message>
    <message>
        <source>Connects and polls the bus; prints one time-stamped line for every module added, gone or back,
every change of station, state or faults, and every loss and return of the link, until
Ctrl-C or N seconds. With --json one JSON object per line, and once a second the link&apos;s
counters (event &quot;link statistics&quot;).</source>
        <translation>连接并轮询总线; 每个模块的新增、离线或恢复,站号、状态或故障的每次变化,
以及链路的每次断开和恢复,各输出一行带时间戳的记录,直到 Ctrl-C 或 N 秒后。
加 --json 时每行一个JSON对象,并且每秒输出一次链路计数
(事件 &quot;link statistics&quot;)。</translation>
    </message>
    <message>
        <source>stop after N seconds</source>
        <translation>N 秒后停止</translation>
    </message>
    <message>
        <source>give a module a station number</source>
        <translation>设置模块的站号</translation>
    </message>
    <message>
        <source>Gives the module with this UID (as show prints it) the station number, 1 to 128. A station
another module is configured to is refused before anything is written.</source>
        <translation>为此UID(show 所显示的)的模块设置站号,1 到 128。已组态给其他模块的站号
在写入任何内容之前即被拒绝。</translation>
    </message>
    <message>
        <source>UID       the module, as show prints it (or a station it alone has)</source>
        <translation>UID       模块,如 show 所显示(或仅由它使用的站号)</translation>
    </message>
    <message>
        <source>STATION   the new station number, 1 to 128</source>
        <translation>STATION   新站号,1 到 128</translation>
    </message>
    <message>
        <source>move a module&apos;s input or output area</source>
        <translation>移动模块的输入区或输出区</translation>
    </message>
    <message>
        <source>Places the module&apos;s input and/or output area at a bit address of the 512-bit process image,
optionally with another channel count (modules whose count can change only). Areas past
bit 512 or over another module&apos;s area are refused before anything is written.</source>
        <translation>将模块的输入区和/或输出区放到512位过程映像中的某个位地址,
可同时改变通道数(仅限通道数可变的模块)。超出第512位或与其他模块的
地址区重叠的地址区在写入任何内容之前即被拒绝。</translation>
    </message>
    <message>
        <source>input area: first bit, channels</source>
        <translation>输入区: 起始位,通道数</translation>
    </message>
    <message>
        <source>output area: first bit, channels</source>
        <translation>输出区: 起始位,通道数</translation>
    </message>
    <message>
        <source>STATION   the module: station number or UID</source>
        <translation>STATION   模块: 站号或UID</translation>
    </message>
    <message>
        <source>set a module&apos;s parameters</source>
        <translation>设置模块的参数</translation>
    </message>
    <message>
        <source>Sets parameters named as in the module&apos;s description (its configuration items, for example
&quot;Filter level&quot;). VALUE is a number or one of the parameter&apos;s value texts.</source>
        <translation>按模块设备描述中的名称设置参数(即其配置项,例如
&quot;Filter level&quot;)。VALUE 为数字或该参数的取值文字之一。</translation>
    </message>
    <message>
        <source>STATION      the module: station number or UID</source>
        <translation>STATION      模块: 站号或UID</translation>
    </message>
    <message>
        <source>NAME=VALUE   a parameter and its new value; quote names with blanks</source>
        <translation>NAME=VALUE   参数及其新值; 名称中有空格时请加引号</translation>
    </message>
    <message>
        <source>clear a module&apos;s station and areas</source>
        <translation>清除模块的站号和地址区</translation>
    </message>
    <message>
        <source>Clears the module&apos;s configuration: it is left without station and without areas.</source>
        <translation>清除模块的配置: 模块将没有站号,也没有地址区。</translation>
    </message>
    <message>
        <source>allocate every module&apos;s addresses</source>
        <translation>为所有模块分配地址</translation>
    </message>
    <message>
        <source>Places every module&apos;s areas one after another, analog modules first, in the alignment of
--alignment or the window&apos;s setting (setByte.ini). Modules that do not fit keep their areas.</source>
        <translation>按 --alignment 或窗口的设置(setByte.ini)的对齐方式,将所有模块的地址区依次排列,
模拟量模块在前。放不下的模块保持原有地址区。</translation>
    </message>
    <message>
        <source>new numbers for repeated stations</source>
        <translation>为重复的站号分配新号</translation>
    </message>
    <message>
        <source>Gives the modules the adapter reports with a repeated (or no) station number the lowest
numbers no other module uses alone, as the window&apos;s repair does.</source>
        <translation>为适配器报告的站号重复(或没有站号)的模块分配其他模块都未使用的最小站号,
与窗口的修复重复站号相同。</translation>
    </message>
    <message>
        <source>write the configuration to every module</source>
        <translation>将配置写入所有模块</translation>
    </message>
    <message>
        <source>Writes every module&apos;s station, areas and parameters to the adapter (the window&apos;s configuration
download). Refused when modules share bits.</source>
        <translation>将每个模块的站号、地址区和参数写入适配器(即窗口的下载配置)。
模块的地址重叠时拒绝执行。</translation>
    </message>
    <message>
        <source>save the configuration in the adapter</source>
        <translation>将组态保存在适配器中</translation>
    </message>
    <message>
        <source>Stores the configuration in the adapter, which then restarts.</source>
        <translation>将组态保存在适配器中,随后适配器重启。</translation>
    </message>
    <message>
        <source>show or change the adapter&apos;s settings</source>
        <translation>查看或修改适配器的设置</translation>
    </message>
    <message>
        <source>Without arguments shows the adapter&apos;s settings. With NAME=VALUE pairs changes them and writes
them; the adapter then restarts (about six seconds). NAME is a setting&apos;s name as shown or its
short name: di-filter (off|on), auto-reset (off|on), output-on-error (clear|hold),
station-mode (strict|free), threshold (201-2999). VALUE is an option as shown, its short
word or its number. Every pair is checked before anything is written; settings that do not
change are not written.</source>
        <translation>不带参数时显示适配器的设置。带 NAME=VALUE 时修改并写入这些设置;
随后适配器重启(约六秒)。NAME 为所显示的设置名称或其简称:
di-filter(off|on)、auto-reset(off|on)、output-on-error(clear|hold)、
station-mode(strict|free)、threshold(201-2999)。VALUE 为所显示的选项、
其简称或其数值。写入前检查每一对; 未改变的设置不写入。</translation>
    </message>
    <message>
        <source>NAME=VALUE  a setting and its new value</source>
        <translation>NAME=VALUE  设置及其新值</translation>
    </message>
    <message>
        <source>switch a module&apos;s locating lamp</source>
        <translation>开关模块的定位灯</translation>
    </message>
    <message>
        <source>Switches the locating lamp of the module on or off.</source>
        <translation>打开或关闭模块的定位灯。</translation>
    </message>
    <message>
        <source>on|off    the lamp&apos;s new state</source>
        <translation>on|off    定位灯的新状态</translation>
    </message>
    <message>
        <source>force outputs, read inputs back</source>
        <translation>强制输出,读回输入</translation>
    </message>
    <message>
        <source>Enters force mode, writes the outputs, prints the inputs as every process-data cycle reads
them, and leaves force mode at the end, also on Ctrl-C. Without --hold it runs until every
module&apos;s inputs have come round once. VALUE is a number, on or off.</source>
        <translation>进入强制模式,写入输出,在每个过程数据周期读取输入时输出输入值,
结束时(包括 Ctrl-C)退出强制模式。不加 --hold 时,运行到每个模块的输入
都读过一遍为止。VALUE 为数字、on 或 off。</translation>
    </message>
    <message>
        <source>an output to write; repeatable</source>
        <translation>要写入的输出; 可重复</translation>
    </message>
    <message>
        <source>keep forcing this long (Ctrl-C ends it earlier)</source>
        <translation>保持强制这么长时间(Ctrl-C 可提前结束)</translation>
    </message>
    <message>
        <source>write the configuration file</source>
        <translation>写出组态文件</translation>
    </message>
    <message>
        <source>Writes the configuration of every module to FILE in the window&apos;s format (GB18030). With --uid
each line names its module by UID; without, by station (the adapter&apos;s own module by its
type; other modules without a station cannot be named, and import skips their lines).</source>
        <translation>按窗口的格式(GB18030)将每个模块的配置写入 FILE。加 --uid 时每行按UID
指明模块; 不加时按站号(适配器本地模块按其类型; 其他没有站号的模块
无法指明,import 会跳过这些行)。</translation>
    </message>
    <message>
        <source>name the modules by UID</source>
        <translation>按UID指明模块</translation>
    </message>
    <message>
        <source>FILE   the file to write; replaced only once it is complete</source>
        <translation>FILE   要写入的文件; 完整写好后才替换</translation>
    </message>
    <message>
        <source>check or apply a configuration file</source>
        <translation>检查或应用组态文件</translation>
    </message>
    <message>
        <source>Checks every line of FILE (the window&apos;s format, UTF-8 or GB18030) and matches each to a module
of the bus. With --apply the configuration is then written to the adapter; without, nothing
is written. A bad line or a line without module writes nothing. A line without UID at
station 0 that is not the adapter&apos;s own module&apos;s is reported and skipped.</source>
        <translation>检查 FILE(窗口的格式,UTF-8 或 GB18030)的每一行,并将每行与总线上的模块
对应起来。加 --apply 时随后将配置写入适配器; 不加时不写入任何内容。
有错误的行或对应不到模块的行会使整个文件都不写入。站号为0、没有UID
且不属于适配器本地模块的行会被报告并跳过。</translation>
    </message>
    <message>
        <source>write the configuration to the adapter</source>
        <translation>将配置写入适配器</translation>
    </message>
    <message>
        <source>FILE   a configuration file written by export or by the window</source>
        <translation>FILE   由 export 或窗口写出的组态文件</translation>
    </message>
    <message>
        <source>compare a configuration file with the bus</source>
        <translation>将组态文件与总线对比</translation>
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
        <translation>将 FILE(窗口的组态文件,带或不带UID)与总线上的模块逐个对比: 双方都有UID时
按UID对应,否则按站号; 出现两次的站号和既无站号又无UID的行报告为无法对应,
绝不猜测。输出有差异的行(加 --all 时输出所有行): 不同的字段(类型、站号、
输入和输出的起始地址与通道数、参数),总线上缺少的、多出的、类型不符的模块。
加 --apply 时写入有差异的模块(站号、地址区、参数),每个模块的拒绝单独报告,
然后重新读取总线并再次对比。
退出状态: 0 一致,3 有差异,1 总线上失败(或写入未被接受),2 文件有误。</translation>
    </message>
    <message>
        <source>every row, the same ones too</source>
        <translation>所有行,包括相同的</translation>
    </message>
    <message>
        <source>write the differing modules, then compare again</source>
        <translation>写入有差异的模块,然后再次对比</translation>
    </message>
    <message>
        <source>verify wired loops and write the IO check-out report</source>
        <translation>检查接线回路并写出IO检查报告</translation>
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
        <translation>适配器的IO检查,与窗口的“IO检查”记录相同: 每个有IO区的模块的每个通道一行。
接线表 FILE(CSV: 表头 &quot;output,input&quot;,之后每行一个回路,每端为 STATION:CHANNEL
或 UID:CHANNEL,通道从0开始)指明接回到输入的输出; 每个回路在强制模式下检查:
输出接通,其输入须跟随; 输出断开,输入须再次跟随。任何时候只有被测的输出接通,
每种结束方式(完成、Ctrl-C、链路断开)都会将其断开并退出强制模式。每个回路检查后
结果按适配器序列号和模块UID保存在用户数据文件夹中,中断的检查下次从下一个
未检查的回路继续(--fresh 重新开始)。报告(PDF: 封面、每个模块一张表、汇总、
签名栏)包含所有通道,包括在窗口中检查的。
退出状态: 0 所有回路通过,3 有回路失败或未检查,1 总线上失败(或报告无法写入),
2 接线表有误(不接通任何输出)。</translation>
    </message>
    <message>
        <source>the wiring map (CSV: output,input)</source>
        <translation>接线表(CSV: output,input)</translation>
    </message>
    <message>
        <source>the report to write; replaced only once complete</source>
        <translation>要写入的报告; 完整写好后才替换</translation>
    </message>
    <message>
        <source>the rows as CSV as well</source>
        <translation>同时将各行写成CSV</translation>
    </message>
    <message>
        <source>the site or project the report names</source>
        <translation>报告上注明的现场或项目</translation>
    </message>
    <message>
        <source>who checks, named on the report and each row</source>
        <translation>检查人,注明在报告和每一行上</translation>
    </message>
    <message>
        <source>how long an input may take to follow its output (1500)</source>
        <translation>输入跟随其输出允许的最长时间(1500)</translation>
    </message>
    <message>
        <source>forget the results saved for this adapter and start over</source>
        <translation>忘记为此适配器保存的结果,重新开始</translation>
    </message>
    <message>
        <source>upgrade the firmware of adapters</source>
        <translation>升级适配器的固件</translation>
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
        <translation>在接触任何适配器之前检查升级文件(两个CRC-32和数据长度),读取每个所选适配器的
版本,并将文件的版本与其App版本按各部分的数值逐一比较。文件的类别与适配器类型
不符时拒绝(状态2),除非加 --any-category。版本相同或降级时会询问,除非加 --yes;
没有终端可供询问时拒绝(状态2)。然后同时升级所有所选适配器,每个在单独的线程中,
并在重启后读取其运行的版本: 重启后版本与文件不同或未及时恢复的,视为失败。
每个适配器给一次 --adapter,或用 --all。
Ctrl-C 取消所有升级; 在传输中被中断的适配器停留在引导程序中,可以再次升级。</translation>
    </message>
    <message>
        <source>every adapter on USB</source>
        <translation>USB上的所有适配器</translation>
    </message>
    <message>
        <source>do not ask before a downgrade or the same version</source>
        <translation>降级或版本相同时不询问</translation>
    </message>
    <message>
        <source>write the file also to adapters whose type is not the file&apos;s category</source>
        <translation>也向类型与文件类别不符的适配器写入该文件</translation>
    </message>
    <message>
        <source>FILE   the upgrade file (.dec)</source>
        <translation>FILE   升级文件(.dec)</translation>
    </message>
    <message>
        <source>the device descriptions the tool reads</source>
        <translation>工具读取的设备描述</translation>
    </message>
    <message>
        <source>Lists the device description files in the order they are read, with the number of module types
each describes: the user&apos;s data folder (~/.local/share/tarnbus-tester/Xml) first, then the
system&apos;s (/usr/share/tarnbus-tester/Xml), the working folder&apos;s ./Xml and share/tarnbus-tester
beside the program. A file hides those of the same name after it. Does not talk to an adapter.</source>
        <translation>按读取顺序列出设备描述文件,以及每个文件描述的模块类型数: 首先是用户数据文件夹
(~/.local/share/tarnbus-tester/Xml),然后是系统的(/usr/share/tarnbus-tester/Xml)、
工作文件夹的 ./Xml 和程序旁的 share/tarnbus-tester。排在前面的文件会屏蔽后面
同名的文件。不与适配器通信。</translation>
    </message>
    <message>
        <source>import a device description</source>
        <translation>导入设备描述</translation>
    </message>
    <message>
        <source>Imports a device description file (plain or scrambled) into the user&apos;s data folder, as the
window&apos;s &quot;导入XML文件&quot; does: under its name up to the first &quot;.&quot; (io.module.rev.xml becomes
io.xml), replacing the user&apos;s file of that name and hiding a shipped one. A file that is not
well-formed or describes no module is refused (status 2) and nothing is written. Does not talk
to an adapter.</source>
        <translation>将设备描述文件(明文或加扰)导入用户数据文件夹,与窗口的“导入XML文件”相同:
以其名称第一个“.”之前的部分命名(io.module.rev.xml 成为 io.xml),替换用户的同名
文件并屏蔽随软件安装的同名文件。格式不正确或没有描述任何模块的文件会被拒绝
(状态2),不写入任何内容。不与适配器通信。</translation>
    </message>
    <message>
        <source>FILE   the description file (.xml)</source>
        <translation>FILE   描述文件(.xml)</translation>
    </message>
    <message>
        <source>cannot read the file: %1</source>
        <translation>无法读取文件: %1</translation>
    </message>
    <message>
        <source>cannot write the file: %1</source>
        <translation>无法写入文件: %1</translation>
    </message>
    <message>
        <source>no header line</source>
        <translation>没有表头行</translation>
    </message>
    <message>
        <source>header field %1 is &quot;%2&quot;, not &quot;%3&quot; or &quot;%4&quot;: missing or out of order (%5)</source>
        <translation>表头第 %1 个字段是“%2”,而不是“%3”或“%4”: 缺少或顺序不对(%5)</translation>
    </message>
    <message>
        <source>%1 fields; a line of this file needs %2</source>
        <translation>%1 个字段; 此文件的一行需要 %2 个</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number</source>
        <translation>“%1”不是数字</translation>
    </message>
    <message>
        <source>station %1 is outside 1..128 (0: no station)</source>
        <translation>站号 %1 超出 1..128(0: 没有站号)</translation>
    </message>
    <message>
        <source>%1 channels; at most %2</source>
        <translation>%1 个通道; 最多 %2 个</translation>
    </message>
    <message>
        <source>begin %1: the area would end at bit %2, past the 512-bit image</source>
        <translation>起始地址 %1: 地址区将结束于第 %2 位,超出512位过程映像</translation>
    </message>
    <message>
        <source>alignment %1: only 1 (bits) or 8 (bytes)</source>
        <translation>对齐方式 %1: 只能是 1(位)或 8(字节)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a UID (up to 24 hexadecimal digits, in pairs)</source>
        <translation>“%1”不是UID(最多24个十六进制数字,成对出现)</translation>
    </message>
    <message>
        <source>column %1</source>
        <translation>第 %1 列</translation>
    </message>
    <message>
        <source>1 module has no station of its own: a file without UIDs cannot name it, and import skips its line (export with --uid)</source>
        <translation>1 个模块没有自己的站号: 不带UID的文件无法指明它,import 会跳过它的行(请用 --uid 导出)</translation>
    </message>
    <message>
        <source>%1 modules have no station of their own: a file without UIDs cannot name them, and import skips their lines (export with --uid)</source>
        <translation>%1 个模块没有自己的站号: 不带UID的文件无法指明它们,import 会跳过它们的行(请用 --uid 导出)</translation>
    </message>
    <message>
        <source>%1 modules written to %2</source>
        <translation>%1 个模块已写入 %2</translation>
    </message>
    <message>
        <source>%1:%2: %3 (station 0 without a UID names only the adapter&apos;s own module of the line&apos;s type; the line is skipped)</source>
        <translation>%1:%2: %3(站号为0且没有UID的行只能指明该行类型的适配器本地模块; 跳过此行)</translation>
    </message>
    <message>
        <source>%1 (no module of this type with this UID or station)</source>
        <translation>%1(没有此UID或站号的此类型模块)</translation>
    </message>
    <message>
        <source>%1 (no module of this type at this station)</source>
        <translation>%1(此站号上没有此类型的模块)</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>第 %1 行: %2</translation>
    </message>
    <message>
        <source>configuration imported and written to the adapter</source>
        <translation>组态已导入并写入适配器</translation>
    </message>
    <message>
        <source>every line not skipped matches a module; nothing written (write it with --apply)</source>
        <translation>未跳过的每一行都对应到模块; 未写入任何内容(用 --apply 写入)</translation>
    </message>
    <message>
        <source>every line matches a module; nothing written (write it with --apply)</source>
        <translation>每一行都对应到模块; 未写入任何内容(用 --apply 写入)</translation>
    </message>
    <message>
        <source>no device descriptions (Xml folder) in %1</source>
        <translation>%1 中没有设备描述(Xml文件夹)</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>MODULES</source>
        <translation>模块数</translation>
    </message>
    <message>
        <source>unreadable</source>
        <translation>无法读取</translation>
    </message>
    <message>
        <source>%1 imported as %2</source>
        <translation>%1 已导入为 %2</translation>
    </message>
    <message>
        <source>local</source>
        <translation>本地</translation>
    </message>
    <message>
        <source>local module</source>
        <translation>本地模块</translation>
    </message>
    <message>
        <source>module without station</source>
        <translation>没有站号的模块</translation>
    </message>
    <message>
        <source>station %1</source>
        <translation>站号 %1</translation>
    </message>
    <message>
        <source>same</source>
        <translation>相同</translation>
    </message>
    <message>
        <source>differs</source>
        <translation>不同</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>总线上缺少</translation>
    </message>
    <message>
        <source>extra</source>
        <translation>总线上多出</translation>
    </message>
    <message>
        <source>type-mismatch</source>
        <translation>类型不符</translation>
    </message>
    <message>
        <source>ambiguous</source>
        <translation>无法对应</translation>
    </message>
    <message>
        <source>type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>station</source>
        <translation>站号</translation>
    </message>
    <message>
        <source>inputStart</source>
        <translation>输入起始地址</translation>
    </message>
    <message>
        <source>inputChannels</source>
        <translation>输入通道数</translation>
    </message>
    <message>
        <source>outputStart</source>
        <translation>输出起始地址</translation>
    </message>
    <message>
        <source>outputChannels</source>
        <translation>输出通道数</translation>
    </message>
    <message>
        <source> (%1)</source>
        <translation>(%1)</translation>
    </message>
    <message>
        <source>station %1: %2 lines in the file, %3 modules on the bus%4; not matched without UIDs</source>
        <translation>站号 %1: 文件中有 %2 行,总线上有 %3 个模块%4; 没有UID时不作对应</translation>
    </message>
    <message>
        <source>station 0 without UID names no module but the adapter&apos;s own of the line&apos;s type; %1 module(s) without a station on the bus%2</source>
        <translation>站号为0且没有UID的行只能指明该行类型的适配器本地模块; 总线上有 %1 个没有站号的模块%2</translation>
    </message>
    <message>
        <source>UID %1 is given %2 times in the file</source>
        <translation>UID %1 在文件中出现了 %2 次</translation>
    </message>
    <message>
        <source>not on the bus</source>
        <translation>总线上没有</translation>
    </message>
    <message>
        <source>not in the file</source>
        <translation>文件中没有</translation>
    </message>
    <message>
        <source>%1 %2 (bus %3)</source>
        <translation>%1 %2(总线上为 %3)</translation>
    </message>
    <message>
        <source>%1 differ</source>
        <translation>不同 %1</translation>
    </message>
    <message>
        <source>%1 missing</source>
        <translation>总线上缺少 %1</translation>
    </message>
    <message>
        <source>%1 extra</source>
        <translation>总线上多出 %1</translation>
    </message>
    <message>
        <source>%1 type mismatch</source>
        <translation>类型不符 %1</translation>
    </message>
    <message>
        <source>%1 ambiguous</source>
        <translation>无法对应 %1</translation>
    </message>
    <message>
        <source>%1 same</source>
        <translation>相同 %1</translation>
    </message>
    <message>
        <source>line %1 (%2)</source>
        <translation>第 %1 行(%2)</translation>
    </message>
    <message>
        <source>%1: %2 and %3 share inputs %4..%5</source>
        <translation>%1: %2 与 %3 的输入 %4..%5 重叠</translation>
    </message>
    <message>
        <source>%1: %2 and %3 share outputs %4..%5</source>
        <translation>%1: %2 与 %3 的输出 %4..%5 重叠</translation>
    </message>
    <message>
        <source>overlap on the bus</source>
        <translation>总线上地址重叠</translation>
    </message>
    <message>
        <source>overlap in the file</source>
        <translation>文件中地址重叠</translation>
    </message>
    <message>
        <source>KIND</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>LINE</source>
        <translation>行</translation>
    </message>
    <message>
        <source>STATION</source>
        <translation>站号</translation>
    </message>
    <message>
        <source>TYPE</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>UID</source>
        <translation>UID</translation>
    </message>
    <message>
        <source>DIFFERENCES</source>
        <translation>差异</translation>
    </message>
    <message>
        <source>the bus is what the file says (%1 modules)</source>
        <translation>总线与文件一致(%1 个模块)</translation>
    </message>
    <message>
        <source>writing modules: %1 of %2</source>
        <translation>正在写入模块: 第 %1 个,共 %2 个</translation>
    </message>
    <message>
        <source>interrupted; the writes may be incomplete</source>
        <translation>已中断; 写入可能不完整</translation>
    </message>
    <message>
        <source>with UIDs</source>
        <translation>带UID</translation>
    </message>
    <message>
        <source>without UIDs</source>
        <translation>不带UID</translation>
    </message>
    <message>
        <source>file     %1 (%2, %3 lines)</source>
        <translation>文件    %1(%2,%3 行)</translation>
    </message>
    <message>
        <source>adapter  %1 (%2 modules)</source>
        <translation>适配器  %1(%2 个模块)</translation>
    </message>
    <message>
        <source>%1: written</source>
        <translation>%1: 已写入</translation>
    </message>
    <message>
        <source>%1: not written: %2</source>
        <translation>%1: 未写入: %2</translation>
    </message>
    <message>
        <source>interrupted while reading the bus again</source>
        <translation>重新读取总线时被中断</translation>
    </message>
    <message>
        <source>compared again after %1 of %2 writes:</source>
        <translation>%2 次写入中 %1 次成功后再次对比:</translation>
    </message>
    <message>
        <source>--set takes STATION:CHANNEL=VALUE, not &quot;%1&quot;</source>
        <translation>--set 的格式是 STATION:CHANNEL=VALUE,而不是“%1”</translation>
    </message>
    <message>
        <source>%1 has no outputs</source>
        <translation>%1 没有输出</translation>
    </message>
    <message>
        <source>%1 holds no output area; its outputs cannot be forced</source>
        <translation>%1 没有输出区; 无法强制它的输出</translation>
    </message>
    <message>
        <source>%1 has output channels 0 to %2, not %3</source>
        <translation>%1 的输出通道为 0 到 %2,而不是 %3</translation>
    </message>
    <message>
        <source>output %1 of %2 is outside the output area the module holds (%3)</source>
        <translation>%2 的输出 %1 不在模块所占的输出区(%3)之内</translation>
    </message>
    <message>
        <source>--set %1: output %2 of %3 (%4) takes %5 to %6</source>
        <translation>--set %1: %3 的输出 %2(%4)取值为 %5 到 %6</translation>
    </message>
    <message>
        <source>inputs:</source>
        <translation>输入:</translation>
    </message>
    <message>
        <source>%1 %2 inputs %3</source>
        <translation>%1 %2 输入 %3</translation>
    </message>
    <message>
        <source>force mode on</source>
        <translation>强制模式已打开</translation>
    </message>
    <message>
        <source>force mode left</source>
        <translation>已退出强制模式</translation>
    </message>
    <message>
        <source>give at least one --set STATION:CHANNEL=VALUE</source>
        <translation>请至少给出一个 --set STATION:CHANNEL=VALUE</translation>
    </message>
    <message>
        <source>--hold takes a number of seconds, not &quot;%1&quot;</source>
        <translation>--hold 的值是秒数,而不是“%1”</translation>
    </message>
    <message>
        <source>%1 output %2 = %3</source>
        <translation>%1 输出 %2 = %3</translation>
    </message>
    <message>
        <source>the link to the adapter is lost</source>
        <translation>与适配器的链路已断开</translation>
    </message>
    <message>
        <source>identified</source>
        <translation>已识别</translation>
    </message>
    <message>
        <source>not a TarnBUS adapter</source>
        <translation>不是 TarnBUS 适配器</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>无应答</translation>
    </message>
    <message>
        <source>added</source>
        <translation>新增</translation>
    </message>
    <message>
        <source>gone</source>
        <translation>离线</translation>
    </message>
    <message>
        <source>back</source>
        <translation>恢复</translation>
    </message>
    <message>
        <source>state</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>fault</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>link back</source>
        <translation>链路恢复</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>链路断开</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>adapter</source>
        <translation>适配器</translation>
    </message>
    <message>
        <source>power</source>
        <translation>功率</translation>
    </message>
    <message>
        <source>temperature</source>
        <translation>温度</translation>
    </message>
    <message>
        <source>alignment</source>
        <translation>对齐方式</translation>
    </message>
    <message>
        <source>bits</source>
        <translation>位</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>字节</translation>
    </message>
    <message>
        <source>modules</source>
        <translation>模块数</translation>
    </message>
    <message>
        <source>link statistics (this connection)</source>
        <translation>链路统计(本次连接)</translation>
    </message>
    <message>
        <source>%1 connected to %2: %3 modules</source>
        <translation>%1 已连接 %2: %3 个模块</translation>
    </message>
    <message>
        <source>no TarnBUS adapter found on USB</source>
        <translation>USB上没有找到 TarnBUS 适配器</translation>
    </message>
    <message>
        <source>SERIAL</source>
        <translation>序列号</translation>
    </message>
    <message>
        <source>PRODUCT</source>
        <translation>产品</translation>
    </message>
    <message>
        <source>RELEASE</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>--seconds takes a positive number, not &quot;%1&quot;</source>
        <translation>--seconds 的值是正数,而不是“%1”</translation>
    </message>
    <message>
        <source>CLASS</source>
        <translation>类别</translation>
    </message>
    <message>
        <source>INPUTS</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>OUTPUTS</source>
        <translation>输出</translation>
    </message>
    <message>
        <source>STATE</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>FAULTS</source>
        <translation>故障</translation>
    </message>
    <message>
        <source>run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>station %1 is outside 1..128</source>
        <translation>站号 %1 超出 1..128</translation>
    </message>
    <message>
        <source>no module at station %1</source>
        <translation>站号 %1 上没有模块</translation>
    </message>
    <message>
        <source>station %1 is shared by %2 modules (%3); name the module by its UID</source>
        <translation>站号 %1 由 %2 个模块共用(%3); 请用UID指明模块</translation>
    </message>
    <message>
        <source>no module with UID %1</source>
        <translation>没有UID为 %1 的模块</translation>
    </message>
    <message>
        <source>warning: </source>
        <translation>警告: </translation>
    </message>
    <message>
        <source>this command talks to one adapter; --adapter is given %1 times</source>
        <translation>此命令只操作一个适配器; --adapter 给了 %1 次</translation>
    </message>
    <message>
        <source>no adapter %1 on USB%2</source>
        <translation>USB上没有适配器 %1%2</translation>
    </message>
    <message>
        <source> (found: %1)</source>
        <translation>(找到: %1)</translation>
    </message>
    <message>
        <source>%1 adapters found (%2); choose %3</source>
        <translation>找到 %1 个适配器(%2); 请%3</translation>
    </message>
    <message>
        <source>one with --adapter SERIAL</source>
        <translation>用 --adapter SERIAL 选择一个</translation>
    </message>
    <message>
        <source>with --adapter SERIAL, or --all</source>
        <translation>用 --adapter SERIAL 选择,或用 --all</translation>
    </message>
    <message>
        <source>time-out</source>
        <translation>通信超时</translation>
    </message>
    <message>
        <source>checksum error</source>
        <translation>校验错误</translation>
    </message>
    <message>
        <source>refused by the adapter</source>
        <translation>被适配器拒绝</translation>
    </message>
    <message>
        <source>no reply data</source>
        <translation>没有应答数据</translation>
    </message>
    <message>
        <source>bad reply</source>
        <translation>应答有误</translation>
    </message>
    <message>
        <source>the adapter is restarting</source>
        <translation>适配器正在重启</translation>
    </message>
    <message>
        <source>settings unknown</source>
        <translation>设置未知</translation>
    </message>
    <message>
        <source>no reply</source>
        <translation>没有应答</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>被拒绝</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>no device descriptions (Xml folder) in %1: modules are shown without them</source>
        <translation>%1 中没有设备描述(Xml文件夹): 显示的模块不带设备描述</translation>
    </message>
    <message>
        <source>the adapter did not finish the operation</source>
        <translation>适配器未完成操作</translation>
    </message>
    <message>
        <source>interrupted; the operation may be incomplete</source>
        <translation>已中断; 操作可能不完整</translation>
    </message>
    <message>
        <source>read back after the restart: %1</source>
        <translation>重启后读回: %1</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>已中断</translation>
    </message>
    <message>
        <source>interrupted while connecting</source>
        <translation>连接时被中断</translation>
    </message>
    <message>
        <source>the adapter did not finish loading its modules</source>
        <translation>适配器未完成模块加载</translation>
    </message>
    <message>
        <source>the adapter&apos;s settings could not be read; nothing is written</source>
        <translation>无法读取适配器的设置; 不写入任何内容</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names no setting: NAME=VALUE, NAME one of %2</source>
        <translation>“%1”不是任何设置: 格式为 NAME=VALUE,NAME 为 %2 之一</translation>
    </message>
    <message>
        <source>the threshold is a number, not &quot;%1&quot;</source>
        <translation>阈值是数字,而不是“%1”</translation>
    </message>
    <message>
        <source>%1 is %2 or %3, not &quot;%4&quot;</source>
        <translation>%1 为 %2 或 %3,而不是“%4”</translation>
    </message>
    <message>
        <source>settings unchanged; nothing written</source>
        <translation>设置未改变; 未写入任何内容</translation>
    </message>
    <message>
        <source>writing the settings; the adapter restarts</source>
        <translation>正在写入设置,适配器将重启</translation>
    </message>
    <message>
        <source>the adapter did not take the settings</source>
        <translation>适配器未接受这些设置</translation>
    </message>
    <message>
        <source>the adapter did not come back after its restart: the settings are not verified</source>
        <translation>适配器重启后未重新连接: 设置未经核对</translation>
    </message>
    <message>
        <source>settings written and read back after the restart</source>
        <translation>设置已写入,并在重启后读回</translation>
    </message>
    <message>
        <source>%1 has no description of its own; its configuration is left alone</source>
        <translation>%1 没有自己的设备描述; 不改动它的配置</translation>
    </message>
    <message>
        <source>  inputs %1, outputs %2</source>
        <translation>  输入 %1,输出 %2</translation>
    </message>
    <message>
        <source>the adapter did not confirm the configuration</source>
        <translation>适配器未确认配置</translation>
    </message>
    <message>
        <source>%1 uses %2</source>
        <translation>%1 占用 %2</translation>
    </message>
    <message>
        <source>%1 has no inputs</source>
        <translation>%1 没有输入</translation>
    </message>
    <message>
        <source>%1 takes START[:CHANNELS] with START a bit address from 0 to 511, not &quot;%2&quot;</source>
        <translation>%1 的格式是 START[:CHANNELS],START 为 0 到 511 的位地址,而不是“%2”</translation>
    </message>
    <message>
        <source>%1 %2: with byte alignment a start address is a multiple of 8</source>
        <translation>%1 %2: 字节对齐时起始地址必须是8的倍数</translation>
    </message>
    <message>
        <source>%1 %2: CHANNELS is a count from 1 to 127</source>
        <translation>%1 %2: CHANNELS 是 1 到 127 的数量</translation>
    </message>
    <message>
        <source>%1 has %2 channels; its channel count cannot be changed</source>
        <translation>%1 有 %2 个通道; 它的通道数不能改变</translation>
    </message>
    <message>
        <source>%1 %2: the inputs would take bits %3, past the %4-bit image</source>
        <translation>%1 %2: 输入将占用第 %3 位,超出 %4 位的过程映像</translation>
    </message>
    <message>
        <source>%1 %2: the outputs would take bits %3, past the %4-bit image</source>
        <translation>%1 %2: 输出将占用第 %3 位,超出 %4 位的过程映像</translation>
    </message>
    <message>
        <source>%1 %2: bits %3 overlap: %4</source>
        <translation>%1 %2: 第 %3 位重叠: %4</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not NAME=VALUE</source>
        <translation>“%1”不是 NAME=VALUE</translation>
    </message>
    <message>
        <source>%1 has no parameter &quot;%2&quot; (it has none)</source>
        <translation>%1 没有参数“%2”(它没有参数)</translation>
    </message>
    <message>
        <source>%1 has no parameter &quot;%2&quot;; its parameters: %3</source>
        <translation>%1 没有参数“%2”; 它的参数: %3</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no value of &quot;%2&quot;; it takes %3</source>
        <translation>“%1”不是“%2”的取值; 它的取值为 %3</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 到 %2</translation>
    </message>
    <message>
        <source>STATION is a number from 1 to 128, not &quot;%1&quot;</source>
        <translation>STATION 是 1 到 128 的数字,而不是“%1”</translation>
    </message>
    <message>
        <source>%1 is the adapter&apos;s own module: it has no station to set</source>
        <translation>%1 是适配器的本地模块: 它没有可设置的站号</translation>
    </message>
    <message>
        <source>already at station %1</source>
        <translation>已经是站号 %1</translation>
    </message>
    <message>
        <source>station %1 is taken by %2</source>
        <translation>站号 %1 已被 %2 占用</translation>
    </message>
    <message>
        <source>station set to %1</source>
        <translation>站号已设为 %1</translation>
    </message>
    <message>
        <source>give --in, --out or both</source>
        <translation>请给出 --in、--out 或两者</translation>
    </message>
    <message>
        <source>areas set</source>
        <translation>地址区已设置</translation>
    </message>
    <message>
        <source>parameters set</source>
        <translation>参数已设置</translation>
    </message>
    <message>
        <source>the adapter did not confirm clearing the module</source>
        <translation>适配器未确认清除模块</translation>
    </message>
    <message>
        <source>configuration cleared</source>
        <translation>配置已清除</translation>
    </message>
    <message>
        <source>the lamp is switched &quot;on&quot; or &quot;off&quot;, not &quot;%1&quot;</source>
        <translation>定位灯的状态是 &quot;on&quot; 或 &quot;off&quot;,而不是“%1”</translation>
    </message>
    <message>
        <source>lamp on</source>
        <translation>定位灯已打开</translation>
    </message>
    <message>
        <source>lamp off</source>
        <translation>定位灯已关闭</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>无法读取: %1</translation>
    </message>
    <message>
        <source>%1 bytes, shorter than the %2-byte header</source>
        <translation>%1 字节,短于 %2 字节的文件头</translation>
    </message>
    <message>
        <source>the header&apos;s CRC-32 does not match the header</source>
        <translation>文件头的CRC-32与文件头不符</translation>
    </message>
    <message>
        <source>the header declares a body of %1 bytes, the file holds %2</source>
        <translation>文件头声明的数据长度为 %1 字节,文件中有 %2 字节</translation>
    </message>
    <message>
        <source>%1 bytes follow the %2-byte body the header declares</source>
        <translation>文件头声明的 %2 字节数据之后还有 %1 字节</translation>
    </message>
    <message>
        <source>the body&apos;s CRC-32 does not match the body</source>
        <translation>数据的CRC-32与数据不符</translation>
    </message>
    <message>
        <source>file</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>category</source>
        <translation>类别</translation>
    </message>
    <message>
        <source>version</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>%1 bytes, %2 blocks</source>
        <translation>%1 字节,%2 个数据块</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>占用中</translation>
    </message>
    <message>
        <source>newer</source>
        <translation>较新</translation>
    </message>
    <message>
        <source>older</source>
        <translation>较旧</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>HARDWARE</source>
        <translation>硬件</translation>
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
        <translation>%1 无法打开: 它正被窗口或其他程序使用(或刚从USB上拔下); 请在那里关闭后重试</translation>
    </message>
    <message>
        <source>%1 (%2 did not answer the device information request)</source>
        <translation>%1(%2 没有应答设备信息请求)</translation>
    </message>
    <message>
        <source>%1 (%2 reports the App version &quot;%3&quot;)</source>
        <translation>%1(%2 报告的App版本为“%3”)</translation>
    </message>
    <message>
        <source>; the adapter stays in its boot loader until it is upgraded again</source>
        <translation>; 适配器停留在引导程序中,直到再次升级</translation>
    </message>
    <message>
        <source>%1: %2 (cannot open it: busy in the window or another program, or gone from USB)</source>
        <translation>%1: %2(无法打开: 正被窗口或其他程序使用,或已从USB上拔下)</translation>
    </message>
    <message>
        <source>%1: %2 (refused or not answered; an adapter the window or another program has open is busy)</source>
        <translation>%1: %2(被拒绝或没有应答; 被窗口或其他程序打开的适配器处于忙状态)</translation>
    </message>
    <message>
        <source>%1: %2 (refused)</source>
        <translation>%1: %2(被拒绝)</translation>
    </message>
    <message>
        <source>%1 (refused or not acknowledged%2)</source>
        <translation>%1(被拒绝或未确认%2)</translation>
    </message>
    <message>
        <source>%1 (link lost%2)</source>
        <translation>%1(链路断开%2)</translation>
    </message>
    <message>
        <source>%1 (%2 came back with App %3 instead of the file&apos;s %4)</source>
        <translation>%1(%2 重启后的App版本为 %3,而不是文件的 %4)</translation>
    </message>
    <message>
        <source>%1 (%2 was not back on USB, answering, within %3 s of its restart; the version it runs is unknown)</source>
        <translation>%1(%2 重启后 %3 秒内没有在USB上恢复应答; 其运行的版本未知)</translation>
    </message>
    <message>
        <source>%1 interrupted while it restarts; the new firmware was written</source>
        <translation>%1 重启时被中断; 新固件已写入</translation>
    </message>
    <message>
        <source>%1 interrupted; the adapter stays in its boot loader until it is upgraded again</source>
        <translation>%1 被中断; 适配器停留在引导程序中,直到再次升级</translation>
    </message>
    <message>
        <source>%1 interrupted before the transfer began</source>
        <translation>%1 在传输开始前被中断</translation>
    </message>
    <message>
        <source>%1 reports App %2; the parts of the file&apos;s %3 after the third are not shown by an adapter and were not checked</source>
        <translation>%1 报告的App版本为 %2; 文件版本 %3 中第三部分之后的部分适配器不显示,未作检查</translation>
    </message>
    <message>
        <source>done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>已取消</translation>
    </message>
    <message>
        <source>cancelling</source>
        <translation>正在取消</translation>
    </message>
    <message>
        <source>restarting</source>
        <translation>正在重启</translation>
    </message>
    <message>
        <source>writing</source>
        <translation>正在写入</translation>
    </message>
    <message>
        <source>starting</source>
        <translation>正在开始</translation>
    </message>
    <message>
        <source>%1: %2 (the file is for %3, the adapter is a %4; give --any-category to upgrade it all the same)</source>
        <translation>%1: %2(文件适用于 %3,适配器是 %4; 用 --any-category 仍可升级)</translation>
    </message>
    <message>
        <source>nothing was written to any adapter</source>
        <translation>未向任何适配器写入内容</translation>
    </message>
    <message>
        <source>%1 has App %2, the file %3: %4</source>
        <translation>%1 的App版本为 %2,文件版本为 %3: %4</translation>
    </message>
    <message>
        <source> Standard input is not a terminal to answer on: give --yes to upgrade all the same</source>
        <translation> 标准输入不是终端,无法回答: 用 --yes 仍可升级</translation>
    </message>
    <message>
        <source>%1 is not to be upgraded; nothing was written to any adapter</source>
        <translation>%1 不升级; 未向任何适配器写入内容</translation>
    </message>
    <message>
        <source>interrupted; nothing was written to any adapter</source>
        <translation>已中断; 未向任何适配器写入内容</translation>
    </message>
    <message>
        <source>--all and --adapter exclude each other</source>
        <translation>--all 和 --adapter 不能同时使用</translation>
    </message>
    <message>
        <source>transactions</source>
        <translation>事务</translation>
    </message>
    <message>
        <source>time-outs</source>
        <translation>超时</translation>
    </message>
    <message>
        <source>checksum errors</source>
        <translation>校验错误</translation>
    </message>
    <message>
        <source>error reports</source>
        <translation>错误报告</translation>
    </message>
    <message>
        <source>refusals</source>
        <translation>拒绝</translation>
    </message>
    <message>
        <source>incomplete replies</source>
        <translation>不完整应答</translation>
    </message>
    <message>
        <source>reconnects</source>
        <translation>重连</translation>
    </message>
    <message>
        <source>round trip</source>
        <translation>往返时间</translation>
    </message>
    <message>
        <source>last %1, mean %2, max %3</source>
        <translation>最近 %1,平均 %2,最大 %3</translation>
    </message>
</context>
</TS>
