// The tool's own texts in the eight language blocks, in id order (ui/tool_text.h). One text per
// entry, as the translators read them; invisible characters (the isolates that keep figures
// reading left to right in Hebrew) are written as escapes.
#include "ui/tool_text.h"

namespace tessel::ui {

// clang-format off
const std::array<ToolTextBlock, kUiLanguageBlockCount> ToolTextTable = {{
    // Block 0: Simplified Chinese.
    {{
        {ToolText::kPhaseCheckingPrinter, u"正在检查打印机"},
        {ToolText::kPhaseReadingVersion, u"正在读取打印机的固件版本"},
        {ToolText::kPhaseSendingLoader, u"正在发送加载程序"},
        {ToolText::kPhaseSendingFirmware, u"正在发送固件"},
        {ToolText::kPhaseAmount, u"：{1}/{2} MB"},
        {ToolText::kPhaseRate, u"，{1} MB/秒"},
        {ToolText::kPhaseTimeLeft, u"，剩余 {1}"},
        {ToolText::kPhaseWaitingForRestart, u"正在等待打印机重新启动"},
        {ToolText::kPhaseAtMost, u"，最多 {1}"},
        {ToolText::kPhaseBurning, u"正在将固件写入闪存"},
        {ToolText::kPhaseBurnWarning, u"：请勿关闭打印机电源"},
        {ToolText::kPhaseConfirming, u"正在确认打印机的新固件版本"},
        {ToolText::kPhaseDone, u"完成"},
        {ToolText::kPhaseStopped, u"已停止"},
        {ToolText::kDecimalSeparator, u"."},
        {ToolText::kConfirmed, u"已确认：打印机现在运行的固件版本为 {1}"},
        {ToolText::kConfirmOtherVersion, u"警告：升级后打印机报告的固件版本为 {1}，而不是 {2}。请重新启动打印机后再次升级，或联系Bexlot客服。"},
        {ToolText::kConfirmNotBack, u"警告：打印机在 {1} 分钟内没有恢复并报告其固件版本。请检查打印机是否已开机并已连接，然后运行“{2}”查看其版本。"},
        {ToolText::kOpenPermissionDenied, u"权限不足（请安装 tessel 软件包以获得其 udev 规则，然后拔下并重新插上打印机）"},
        {ToolText::kOpenNoDevice, u"设备不存在（打印机已断开，或没有驱动程序与其绑定）"},
        {ToolText::kOpenBusy, u"设备忙（另一个程序正在占用打印机）"},
        {ToolText::kOpenFailedNotice, u"无法打开打印机：{1}"},
        {ToolText::kCauseLine, u"原因：{1}（{2}时）。"},
        {ToolText::kCauseLineBytes, u"原因：{1}（{2}时，已发送 {3} MB，共 {4} MB）。"},
        {ToolText::kCauseSystem, u"系统信息：{1}。"},
        {ToolText::kReasonNotReadyStatus, u"打印机报告的状态为 {1}，此状态下无法升级"},
        {ToolText::kReasonOpenFailed, u"无法打开打印机的设备文件"},
        {ToolText::kReasonNoReply, u"打印机未在限定时间内给出完整的应答"},
        {ToolText::kReasonBadReply, u"无法识别打印机的应答"},
        {ToolText::kReasonNoVersion, u"打印机未报告可用的固件版本"},
        {ToolText::kReasonDroppedOffBus, u"打印机已从USB总线上断开"},
        {ToolText::kReasonWriteFailed, u"打印机拒绝接收数据"},
        {ToolText::kReasonStoppedTakingData, u"打印机停止接收数据"},
        {ToolText::kReasonTransferTooLong, u"传输时间超过了限定时间"},
        {ToolText::kReasonPayloadMissing, u"升级工具自带的数据缺失或已损坏"},
        {ToolText::kReasonNotBackAfterRestart, u"打印机重新启动后没有恢复连接"},
        {ToolText::kReasonNotIdentified, u"打印机重新启动后，无法将其与其他打印机区分开"},
        {ToolText::kInfoCarried, u"自带固件：{1}"},
        {ToolText::kInfoSearchFailed, u"搜索打印机失败（结果 {1}）；下列打印机是失败前找到的打印机。"},
        {ToolText::kInfoNoPrinter, u"未找到支持的打印机。"},
        {ToolText::kInfoPrinter, u"打印机 {1}：{2}"},
        {ToolText::kInfoPortLabel, u"端口"},
        {ToolText::kInfoSerialLabel, u"序列号"},
        {ToolText::kInfoDeviceLabel, u"设备"},
        {ToolText::kInfoTransportLabel, u"连接方式"},
        {ToolText::kInfoStatusLabel, u"状态"},
        {ToolText::kInfoFirmwareLabel, u"固件"},
        {ToolText::kInfoTransportPrinterDriver, u"打印机驱动程序的设备节点（usblp）"},
        {ToolText::kInfoTransportUsbDevice, u"USB 设备节点（libusb；没有内核驱动程序占用打印机）"},
        {ToolText::kInfoNone, u"（无）"},
        {ToolText::kInfoNoDevicePath, u"未查询：没有设备路径（该接口没有可读取的参数，或不是普通的打印机接口）"},
        {ToolText::kInfoDoesNotOpen, u"未查询：无法打开设备文件：{1}"},
        {ToolText::kInfoOtherReason, u"系统给出了其他原因"},
        {ToolText::kInfoNoStatusAnswer, u"状态查询没有应答"},
        {ToolText::kInfoStatusReady, u"{1}（可以升级）"},
        {ToolText::kInfoStatusNotReady, u"{1}（未准备好：升级将会停止）"},
        {ToolText::kInfoNotAsked, u"未查询"},
        {ToolText::kInfoNoVersionAnswer, u"版本查询没有应答（升级将会停止：未准备好）"},
        {ToolText::kInfoOlder, u"{1}，低于自带的 {2}：升级将安装自带固件"},
        {ToolText::kInfoSame, u"{1}，与自带的 {2} 相同：升级在再次安装前会先询问"},
        {ToolText::kInfoNewer, u"{1}，高于自带的 {2}：升级将会停止"},
        {ToolText::kInfoFirstOnly, u"不带 {1} 时，升级只对列出的第一台打印机进行；要升级另一台，请用 {1} 加上其序列号、端口或设备指定。"},
        {ToolText::kInfoUnusable, u"已插入但无法使用：{1}（位置 {2}）：{3}"},
        {ToolText::kUnusableNoInterface, u"该设备没有打印机接口"},
        {ToolText::kUnusableOtherDriver, u"另一个驱动程序（{1}）接管了其打印机接口"},
        {ToolText::kUnusableNoDeviceNode, u"打印机驱动程序已接管其接口，但没有为其创建设备节点"},
        {ToolText::kUnusableOddDescriptors, u"{1}；本工具不会打开它"},
        {ToolText::kDescriptorMalformed, u"其USB描述符不完整或格式错误"},
        {ToolText::kDescriptorNoConfiguration, u"其USB描述符中没有当前配置"},
        {ToolText::kDescriptorNoPrinterInterface, u"其USB描述符中没有打印机接口"},
        {ToolText::kDescriptorSeveralInterfaces, u"它有多个USB接口，而不是单一的打印机接口"},
        {ToolText::kDescriptorAlternateSettings, u"其打印机接口有备用设置"},
        {ToolText::kDescriptorNotBidirectional, u"其打印机接口不是双向的"},
        {ToolText::kDescriptorNoBulkOut, u"其打印机接口没有批量输出端点"},
        {ToolText::kDescriptorNoBulkIn, u"其打印机接口没有批量输入端点"},
        {ToolText::kDescriptorOtherEndpoints, u"其打印机接口除一个批量输出和一个批量输入端点外还有其他端点"},
        {ToolText::kAnswerNoTerminal, u"没有可以提问的终端；使用 {1} 仍会升级"},
        {ToolText::kAnswerNotGiven, u"未回答"},
        {ToolText::kAnswerPlease, u"请回答 y（{1}）或 n（{2}）。"},
        {ToolText::kInterrupted, u"已中断"},
        {ToolText::kInterruptRefused, u"现在无法停止升级：打印机将处于升级了一半的状态。请等待升级结束。"},
        {ToolText::kAnotherRunRunning, u"另一个升级已在进行中"},
        {ToolText::kPrinterNoneNamed, u"没有已连接的打印机具有 {2} 指定的序列号、端口或设备“{1}”；“{3}”会列出找到的打印机"},
        {ToolText::kPrinterSeveralNamed, u"有 {1} 台已连接的打印机具有 {3} 指定的序列号、端口或设备“{2}”；请按“{4}”列出的设备指定其中一台"},
        {ToolText::kPrinterNotTellable, u"另一台已连接的打印机与 {2} 指定的打印机“{1}”具有相同的序列号，因此重启后无法再找到它；请先断开另一台打印机"},
        {ToolText::kRunLogIs, u"本次运行的日志：{1}"},
        {ToolText::kNoAdministratorRights, u"未以管理员身份运行：可以发送固件，但之后无法将打印机标记为重新安装驱动程序。如需包括该步骤，请以管理员身份运行 {1}。"},
        {ToolText::kNoRunLog, u"{1} 中没有运行日志"},
        {ToolText::kNoStateFolder, u"（没有状态文件夹：未设置 {1}）"},
        {ToolText::kCannotRead, u"无法读取 {1}"},
        {ToolText::kTimeScaleIgnored, u"已忽略 {1}：此版本带有厂商的升级数据，真实的打印机需要真实的等待时间。"},
        {ToolText::kTimeScaleWrong, u"{1} 必须是大于 0 且不大于 1 的数（例如 0.01），而不是“{2}”。"},
        {ToolText::kPayloadsStandIn, u"Tessel {1}，替代数据（仅用于模拟器）"},
        {ToolText::kPayloadsMakers, u"Tessel {1}，厂商的升级数据"},
        {ToolText::kPayloadLoader, u"加载程序"},
        {ToolText::kPayloadFirmware, u"固件"},
        {ToolText::kPayloadLine, u"{1}：资源 {2}，{3} 字节"},
        {ToolText::kPayloadDamaged, u"（缺失或已损坏）"},
        {ToolText::kUsageNoCommand, u"未给出命令"},
        {ToolText::kUsageNoArguments, u"{1} 不接受参数"},
        {ToolText::kUsageUnknownOption, u"{1}：未知选项 {2}"},
        {ToolText::kUsageExclusive, u"{1}：{2} 和 {3} 不能同时使用"},
        {ToolText::kUsageNeedsValue, u"{1}：{2} 需要一个值"},
        {ToolText::kUsageRepeated, u"{1}：{2} 只能给出一次"},
        {ToolText::kUsageUnknownCommand, u"未知命令 {1}"},
        {ToolText::kHelp, u"用法：tessel-cli upgrade [--yes|--no] [--json] [--no-confirm]\n"
         u"                    [--printer SERIAL|PORT]\n"
         u"      tessel-cli info [--json] [--printer SERIAL|PORT]\n"
         u"      tessel-cli log\n"
         u"      tessel-cli --version\n"
         u"      tessel-cli --help\n"
         u"\n"
         u"upgrade    升级所连接打印机的固件。打印机已经运行自带的固件时，--yes 再次升级，\n"
         u"           --no 停止；两者都未给出时，在终端上询问，否则回答“否”。--json 将运行过程\n"
         u"           以 JSON 行写出：每个阶段、进度、显示、问题及其回答，以及退出状态。\n"
         u"           显示升级成功后，等待打印机恢复（最多 4 分钟）并读取其版本；\n"
         u"           --no-confirm 跳过此步骤。\n"
         u"info       列出找到的打印机及其状态和固件版本，以及已插入但无法使用的打印机。\n"
         u"           不发送固件。\n"
         u"--printer  只对具有此序列号、端口或设备文件（如 info 所列）的那台已连接打印机进行，\n"
         u"           而不是列出的第一台；没有或有多台打印机符合时，不发送任何内容，\n"
         u"           退出状态为 6 或 7。\n"
         u"log        显示上一次升级运行的日志（每次运行的日志保存在工具的状态文件夹中，\n"
         u"           保留最近十次）。\n"
         u"--version  显示自带的固件并检查内置的升级数据。\n"
         u"\n"
         u"upgrade 的退出状态：0 已升级，1 失败，2 打印机未准备好，3 以消息结束（没有打印机、\n"
         u"端口被占用、固件较新、已拒绝）；显示升级成功后，4 打印机报告了其他版本，\n"
         u"5 打印机未在等待时间内恢复。upgrade 和 info 的退出状态：6 没有打印机符合 --printer，\n"
         u"7 有多台打印机符合；64 用法错误。\n"},
    }},
    // Block 1: Turkish.
    {{
        {ToolText::kPhaseCheckingPrinter, u"yazıcı denetleniyor"},
        {ToolText::kPhaseReadingVersion, u"firmware sürümü okunuyor"},
        {ToolText::kPhaseSendingLoader, u"yükleyici gönderiliyor"},
        {ToolText::kPhaseSendingFirmware, u"firmware gönderiliyor"},
        {ToolText::kPhaseAmount, u": {1}/{2} MB"},
        {ToolText::kPhaseRate, u", {1} MB/sn"},
        {ToolText::kPhaseTimeLeft, u", {1} kaldı"},
        {ToolText::kPhaseWaitingForRestart, u"yazıcının yeniden başlaması bekleniyor"},
        {ToolText::kPhaseAtMost, u", en çok {1}"},
        {ToolText::kPhaseBurning, u"firmware flash belleğe yazılıyor"},
        {ToolText::kPhaseBurnWarning, u": yazıcıyı kapatmayın"},
        {ToolText::kPhaseConfirming, u"yazıcının yeni sürümü doğrulanıyor"},
        {ToolText::kPhaseDone, u"tamamlandı"},
        {ToolText::kPhaseStopped, u"durduruldu"},
        {ToolText::kDecimalSeparator, u","},
        {ToolText::kConfirmed, u"doğrulandı: yazıcı artık {1} sürümünü çalıştırıyor"},
        {ToolText::kConfirmOtherVersion, u"uyarı: yükseltmeden sonra yazıcı {2} değil, {1} firmware sürümünü bildiriyor. Yazıcıyı yeniden başlatıp yükseltmeyi tekrarlayın veya Bexlot müşteri hizmetleriyle iletişime geçin."},
        {ToolText::kConfirmNotBack, u"uyarı: yazıcı {1} dakika içinde geri gelip firmware sürümünü bildirmedi. Açık ve bağlı olduğunu denetleyin, ardından sürümünü görmek için \"{2}\" komutunu çalıştırın."},
        {ToolText::kOpenPermissionDenied, u"izin verilmedi (udev kuralı için tessel paketini kurun, ardından yazıcının kablosunu çıkarıp yeniden takın)"},
        {ToolText::kOpenNoDevice, u"böyle bir aygıt yok (yazıcı ayrılmış ya da ona bağlı bir sürücü yok)"},
        {ToolText::kOpenBusy, u"meşgul (başka bir program onu kullanıyor)"},
        {ToolText::kOpenFailedNotice, u"Yazıcı açılamadı: {1}"},
        {ToolText::kCauseLine, u"Neden: {1} (aşama: {2})."},
        {ToolText::kCauseLineBytes, u"Neden: {1} (aşama: {2}; {4} MB'nin {3} MB'si gönderildi)."},
        {ToolText::kCauseSystem, u" Sistemin bildirdiği: {1}."},
        {ToolText::kReasonNotReadyStatus, u"yazıcı {1} durumunu bildiriyor; bu durumda yükseltme yapılamaz"},
        {ToolText::kReasonOpenFailed, u"yazıcının aygıt dosyası açılamadı"},
        {ToolText::kReasonNoReply, u"yazıcı süre sınırı içinde eksiksiz bir yanıt vermedi"},
        {ToolText::kReasonBadReply, u"yazıcının yanıtı anlaşılamadı"},
        {ToolText::kReasonNoVersion, u"yazıcı kullanılabilir bir firmware sürümü bildirmedi"},
        {ToolText::kReasonDroppedOffBus, u"yazıcının USB bağlantısı koptu"},
        {ToolText::kReasonWriteFailed, u"yazıcı verileri kabul etmedi"},
        {ToolText::kReasonStoppedTakingData, u"yazıcı veri almayı bıraktı"},
        {ToolText::kReasonTransferTooLong, u"aktarım süre sınırını aştı"},
        {ToolText::kReasonPayloadMissing, u"aracın içindeki veriler eksik ya da bozuk"},
        {ToolText::kReasonNotBackAfterRestart, u"yazıcı yeniden başladıktan sonra geri gelmedi"},
        {ToolText::kReasonNotIdentified, u"yazıcı yeniden başladıktan sonra diğer yazıcılardan ayırt edilemedi"},
        {ToolText::kInfoCarried, u"Araçtaki firmware: {1}"},
        {ToolText::kInfoSearchFailed, u"Yazıcı araması başarısız oldu (sonuç {1}); aşağıdaki yazıcılar hatadan önce bulunanlardır."},
        {ToolText::kInfoNoPrinter, u"Desteklenen yazıcı bulunamadı."},
        {ToolText::kInfoPrinter, u"Yazıcı {1}: {2}"},
        {ToolText::kInfoPortLabel, u"bağlantı noktası"},
        {ToolText::kInfoSerialLabel, u"seri numarası"},
        {ToolText::kInfoDeviceLabel, u"aygıt"},
        {ToolText::kInfoTransportLabel, u"bağlantı"},
        {ToolText::kInfoStatusLabel, u"durum"},
        {ToolText::kInfoFirmwareLabel, u"firmware"},
        {ToolText::kInfoTransportPrinterDriver, u"yazıcı sürücüsünün aygıt düğümü (usblp)"},
        {ToolText::kInfoTransportUsbDevice, u"USB aygıt düğümü (libusb; yazıcıyı hiçbir çekirdek sürücüsü tutmuyor)"},
        {ToolText::kInfoNone, u"(yok)"},
        {ToolText::kInfoNoDevicePath, u"sorulmadı: aygıt yolu yok (arabirimin okunabilir parametreleri yok ya da düz bir yazıcı arabirimi değil)"},
        {ToolText::kInfoDoesNotOpen, u"sorulmadı: aygıt dosyası açılmıyor: {1}"},
        {ToolText::kInfoOtherReason, u"sistem başka bir neden bildirdi"},
        {ToolText::kInfoNoStatusAnswer, u"durum sorgusuna yanıt yok"},
        {ToolText::kInfoStatusReady, u"{1} (yükseltmeye hazır)"},
        {ToolText::kInfoStatusNotReady, u"{1} (hazır değil: yükseltme durur)"},
        {ToolText::kInfoNotAsked, u"sorulmadı"},
        {ToolText::kInfoNoVersionAnswer, u"sürüm sorgusuna yanıt yok (yükseltme durur: hazır değil)"},
        {ToolText::kInfoOlder, u"{1}, araçtaki {2} sürümünden eski: yükseltme onu kurar"},
        {ToolText::kInfoSame, u"{1}, araçtaki {2} ile aynı: yükseltme yeniden kurmadan önce sorar"},
        {ToolText::kInfoNewer, u"{1}, araçtaki {2} sürümünden yeni: yükseltme durur"},
        {ToolText::kInfoFirstOnly, u"{1} olmadan yükseltme listedeki ilk yazıcıda yapılır; başka birini seçmek için {1} ile seri numarasını, bağlantı noktasını veya aygıtını verin."},
        {ToolText::kInfoUnusable, u"Takılı ama kullanılamıyor: {1} ({2}): {3}"},
        {ToolText::kUnusableNoInterface, u"aygıt bir yazıcı arabirimi sunmuyor"},
        {ToolText::kUnusableOtherDriver, u"yazıcı arabirimini başka bir sürücü ({1}) aldı"},
        {ToolText::kUnusableNoDeviceNode, u"yazıcı sürücüsü arabirimi aldı ama onun için bir aygıt düğümü oluşturmadı"},
        {ToolText::kUnusableOddDescriptors, u"{1}; araç onu açmaz"},
        {ToolText::kDescriptorMalformed, u"USB tanımlayıcıları eksik ya da bozuk"},
        {ToolText::kDescriptorNoConfiguration, u"USB tanımlayıcılarında etkin bir yapılandırma yok"},
        {ToolText::kDescriptorNoPrinterInterface, u"USB tanımlayıcılarında yazıcı arabirimi yok"},
        {ToolText::kDescriptorSeveralInterfaces, u"tek bir yazıcı arabirimi yerine birden çok USB arabirimi sunuyor"},
        {ToolText::kDescriptorAlternateSettings, u"yazıcı arabiriminin alternatif ayarları var"},
        {ToolText::kDescriptorNotBidirectional, u"yazıcı arabirimi çift yönlü değil"},
        {ToolText::kDescriptorNoBulkOut, u"yazıcı arabiriminde toplu OUT uç noktası yok"},
        {ToolText::kDescriptorNoBulkIn, u"yazıcı arabiriminde toplu IN uç noktası yok"},
        {ToolText::kDescriptorOtherEndpoints, u"yazıcı arabiriminde bir toplu OUT ve bir toplu IN uç noktasından başka uç noktalar var"},
        {ToolText::kAnswerNoTerminal, u"soru sorulacak bir terminal yok; {1} ile yükseltme yine de yapılır"},
        {ToolText::kAnswerNotGiven, u"yanıtlanmadı"},
        {ToolText::kAnswerPlease, u"Lütfen y ({1}) ya da n ({2}) ile yanıtlayın."},
        {ToolText::kInterrupted, u"kesildi"},
        {ToolText::kInterruptRefused, u"Yükseltme şimdi durdurulamaz: yazıcı yarı yükseltilmiş kalır. Lütfen bitmesini bekleyin."},
        {ToolText::kAnotherRunRunning, u"başka bir yükseltme zaten çalışıyor"},
        {ToolText::kPrinterNoneNamed, u"{2} ile verilen \"{1}\" seri numarasına, bağlantı noktasına veya aygıtına sahip bağlı yazıcı yok; bulunan yazıcıları \"{3}\" listeler"},
        {ToolText::kPrinterSeveralNamed, u"{3} ile verilen \"{2}\" seri numarasına, bağlantı noktasına veya aygıtına sahip {1} bağlı yazıcı var; birini \"{4}\" komutunun listelediği aygıtıyla belirtin"},
        {ToolText::kPrinterNotTellable, u"başka bir bağlı yazıcı, {2} ile verilen \"{1}\" yazıcısıyla aynı seri numarasına sahip, bu yüzden yazıcı yeniden başladıktan sonra yeniden bulunamaz; önce diğer yazıcının bağlantısını kesin"},
        {ToolText::kRunLogIs, u"bu çalıştırmanın günlüğü: {1}"},
        {ToolText::kNoAdministratorRights, u"yönetici olarak çalışmıyor: firmware gönderilebilir, ancak ardından yazıcı sürücünün yeniden kurulması için işaretlenemez. Bu adımı da yapmak için {1} aracını yönetici olarak çalıştırın."},
        {ToolText::kNoRunLog, u"{1} içinde çalıştırma günlüğü yok"},
        {ToolText::kNoStateFolder, u"(durum klasörü yok: {1} ayarlanmamış)"},
        {ToolText::kCannotRead, u"{1} okunamıyor"},
        {ToolText::kTimeScaleIgnored, u"{1} yok sayıldı: bu derleme üreticinin verilerini taşıyor ve gerçek bir yazıcı gerçek bekleme sürelerine ihtiyaç duyar."},
        {ToolText::kTimeScaleWrong, u"{1}, 0'dan büyük ve en fazla 1 olan bir sayı olmalıdır (örneğin 0.01), \"{2}\" değil."},
        {ToolText::kPayloadsStandIn, u"Tessel {1}, yedek veriler (yalnızca öykünücü için)"},
        {ToolText::kPayloadsMakers, u"Tessel {1}, üreticinin verileri"},
        {ToolText::kPayloadLoader, u"yükleyici"},
        {ToolText::kPayloadFirmware, u"firmware"},
        {ToolText::kPayloadLine, u"{1}: kaynak {2}, {3} bayt"},
        {ToolText::kPayloadDamaged, u" (eksik ya da bozuk)"},
        {ToolText::kUsageNoCommand, u"komut verilmedi"},
        {ToolText::kUsageNoArguments, u"{1} bağımsız değişken almaz"},
        {ToolText::kUsageUnknownOption, u"{1}: bilinmeyen seçenek {2}"},
        {ToolText::kUsageExclusive, u"{1}: {2} ve {3} birlikte kullanılamaz"},
        {ToolText::kUsageNeedsValue, u"{1}: {2} bir değer gerektirir"},
        {ToolText::kUsageRepeated, u"{1}: {2} yalnızca bir kez verilebilir"},
        {ToolText::kUsageUnknownCommand, u"bilinmeyen komut {1}"},
        {ToolText::kHelp, u"kullanım: tessel-cli upgrade [--yes|--no] [--json] [--no-confirm]\n"
         u"                          [--printer SERIAL|PORT]\n"
         u"          tessel-cli info [--json] [--printer SERIAL|PORT]\n"
         u"          tessel-cli log\n"
         u"          tessel-cli --version\n"
         u"          tessel-cli --help\n"
         u"\n"
         u"upgrade   bağlı yazıcının firmware'ini yükseltir. Yazıcı zaten araçtaki firmware'i\n"
         u"          çalıştırıyorsa --yes yeniden yükseltir, --no durdurur; ikisi de yoksa soru\n"
         u"          terminalde sorulur, terminal yoksa \"Hayır\" yanıtı verilir. --json çalıştırmayı\n"
         u"          JSON satırları olarak yazar: her aşama, ilerleme adımı, ekran, yanıtıyla birlikte\n"
         u"          soru ve çıkış durumu. Başarı ekranından sonra yazıcının geri gelmesini (en çok\n"
         u"          4 dakika) bekler ve sürümünü okur; --no-confirm bunu atlar.\n"
         u"info      bulunan yazıcıları, durumlarını ve firmware sürümlerini, ayrıca takılı olup\n"
         u"          kullanılamayan yazıcıları listeler. Firmware göndermez.\n"
         u"--printer ilk listelenen yazıcı yerine bu seri numarasına, bağlantı noktasına veya aygıt\n"
         u"          dosyasına (info listelediği gibi) sahip tek bağlı yazıcıda çalışır; hiçbirinde\n"
         u"          ya da birden fazlasında yoksa hiçbir şey gönderilmez, çıkış durumu 6 veya 7 olur.\n"
         u"log       son yükseltme çalıştırmasının günlüğünü yazdırır (son on çalıştırmanın günlüğü\n"
         u"          aracın durum klasöründe saklanır).\n"
         u"--version araçtaki firmware'i gösterir ve gömülü verileri denetler.\n"
         u"\n"
         u"upgrade çıkış durumları: 0 yükseltildi, 1 başarısız, 2 yazıcı hazır değil, 3 bir mesajla\n"
         u"bitti (yazıcı yok, bağlantı noktası meşgul, firmware daha yeni, reddedildi); başarı\n"
         u"ekranından sonra 4 yazıcı başka bir sürüm bildiriyor, 5 yazıcı bekleme süresinde geri\n"
         u"gelmedi. upgrade ve info: 6 --printer ile verilen ada sahip yazıcı yok, 7 birden fazla\n"
         u"yazıcıda var; 64 hatalı kullanım.\n"},
    }},
    // Block 2: English.
    {{
        {ToolText::kPhaseCheckingPrinter, u"checking the printer"},
        {ToolText::kPhaseReadingVersion, u"reading its firmware version"},
        {ToolText::kPhaseSendingLoader, u"sending the loader"},
        {ToolText::kPhaseSendingFirmware, u"sending the firmware"},
        {ToolText::kPhaseAmount, u": {1}/{2} MB"},
        {ToolText::kPhaseRate, u", {1} MB/s"},
        {ToolText::kPhaseTimeLeft, u", {1} left"},
        {ToolText::kPhaseWaitingForRestart, u"waiting for the printer to restart"},
        {ToolText::kPhaseAtMost, u", {1} at most"},
        {ToolText::kPhaseBurning, u"burning into flash"},
        {ToolText::kPhaseBurnWarning, u": do not switch the printer off"},
        {ToolText::kPhaseConfirming, u"confirming the printer's new version"},
        {ToolText::kPhaseDone, u"done"},
        {ToolText::kPhaseStopped, u"stopped"},
        {ToolText::kDecimalSeparator, u"."},
        {ToolText::kConfirmed, u"confirmed: the printer now runs {1}"},
        {ToolText::kConfirmOtherVersion, u"warning: after the upgrade the printer reports firmware {1}, not {2}. Restart the printer and run the upgrade again, or contact customer service."},
        {ToolText::kConfirmNotBack, u"warning: the printer did not come back and report its firmware within {1} minutes. Check that it is switched on and connected, then run \"{2}\" to see its version."},
        {ToolText::kOpenPermissionDenied, u"permission denied (install the tessel package for its udev rule, then unplug and plug in the printer)"},
        {ToolText::kOpenNoDevice, u"no such device (the printer is gone, or no driver is bound to it)"},
        {ToolText::kOpenBusy, u"busy (another program holds it)"},
        {ToolText::kOpenFailedNotice, u"The printer could not be opened: {1}"},
        {ToolText::kCauseLine, u"Cause: {1} (while {2})."},
        {ToolText::kCauseLineBytes, u"Cause: {1} (while {2}, after {3} of {4} MB)."},
        {ToolText::kCauseSystem, u" The system says: {1}."},
        {ToolText::kReasonNotReadyStatus, u"the printer reports status {1}, which does not allow an upgrade"},
        {ToolText::kReasonOpenFailed, u"the printer's device file did not open"},
        {ToolText::kReasonNoReply, u"the printer gave no complete reply within the limit"},
        {ToolText::kReasonBadReply, u"the printer's reply could not be understood"},
        {ToolText::kReasonNoVersion, u"the printer did not report a usable firmware version"},
        {ToolText::kReasonDroppedOffBus, u"the printer dropped off the USB bus"},
        {ToolText::kReasonWriteFailed, u"the printer refused the data"},
        {ToolText::kReasonStoppedTakingData, u"the printer stopped taking data"},
        {ToolText::kReasonTransferTooLong, u"the transfer took longer than its limit"},
        {ToolText::kReasonPayloadMissing, u"the data carried by the tool is missing or damaged"},
        {ToolText::kReasonNotBackAfterRestart, u"the printer did not come back after its restart"},
        {ToolText::kReasonNotIdentified, u"after its restart the printer could not be told apart from the other printers"},
        {ToolText::kInfoCarried, u"Carried firmware: {1}"},
        {ToolText::kInfoSearchFailed, u"The search for printers failed (result {1}); the printers below are those found before it failed."},
        {ToolText::kInfoNoPrinter, u"No supported printer found."},
        {ToolText::kInfoPrinter, u"Printer {1}: {2}"},
        {ToolText::kInfoPortLabel, u"port"},
        {ToolText::kInfoSerialLabel, u"serial number"},
        {ToolText::kInfoDeviceLabel, u"device"},
        {ToolText::kInfoTransportLabel, u"through"},
        {ToolText::kInfoStatusLabel, u"status"},
        {ToolText::kInfoFirmwareLabel, u"firmware"},
        {ToolText::kInfoTransportPrinterDriver, u"the printer driver's device node (usblp)"},
        {ToolText::kInfoTransportUsbDevice, u"the USB device node (libusb; no kernel driver holds the printer)"},
        {ToolText::kInfoNone, u"(none)"},
        {ToolText::kInfoNoDevicePath, u"not asked: no device path (the interface has no readable parameters or is not a plain printer interface)"},
        {ToolText::kInfoDoesNotOpen, u"not asked: the device file does not open: {1}"},
        {ToolText::kInfoOtherReason, u"the system gave another reason"},
        {ToolText::kInfoNoStatusAnswer, u"no answer to the status query"},
        {ToolText::kInfoStatusReady, u"{1} (ready for an upgrade)"},
        {ToolText::kInfoStatusNotReady, u"{1} (not ready: the upgrade would stop)"},
        {ToolText::kInfoNotAsked, u"not asked"},
        {ToolText::kInfoNoVersionAnswer, u"no answer to the version query (the upgrade would stop: not ready)"},
        {ToolText::kInfoOlder, u"{1}, older than the carried {2}: the upgrade installs it"},
        {ToolText::kInfoSame, u"{1}, the same as the carried {2}: the upgrade asks before it installs it again"},
        {ToolText::kInfoNewer, u"{1}, newer than the carried {2}: the upgrade stops"},
        {ToolText::kInfoFirstOnly, u"Without {1} an upgrade works on the first printer listed; name another with {1} and its serial number, port or device."},
        {ToolText::kInfoUnusable, u"Plugged in but not usable: {1} at {2}: {3}"},
        {ToolText::kUnusableNoInterface, u"the device shows no printer interface"},
        {ToolText::kUnusableOtherDriver, u"another driver ({1}) has taken its printer interface"},
        {ToolText::kUnusableNoDeviceNode, u"the printer driver has its interface but made no device node for it"},
        {ToolText::kUnusableOddDescriptors, u"{1}; the tool does not open it"},
        {ToolText::kDescriptorMalformed, u"its USB descriptors are cut short or malformed"},
        {ToolText::kDescriptorNoConfiguration, u"its USB descriptors show no active configuration"},
        {ToolText::kDescriptorNoPrinterInterface, u"its USB descriptors show no printer interface"},
        {ToolText::kDescriptorSeveralInterfaces, u"it shows several USB interfaces, not the printer's one"},
        {ToolText::kDescriptorAlternateSettings, u"its printer interface has alternate settings"},
        {ToolText::kDescriptorNotBidirectional, u"its printer interface is not bidirectional"},
        {ToolText::kDescriptorNoBulkOut, u"its printer interface has no bulk OUT endpoint"},
        {ToolText::kDescriptorNoBulkIn, u"its printer interface has no bulk IN endpoint"},
        {ToolText::kDescriptorOtherEndpoints, u"its printer interface has endpoints besides one bulk OUT and one bulk IN"},
        {ToolText::kAnswerNoTerminal, u"no terminal to ask on; {1} upgrades anyway"},
        {ToolText::kAnswerNotGiven, u"not answered"},
        {ToolText::kAnswerPlease, u"Please answer y ({1}) or n ({2})."},
        {ToolText::kInterrupted, u"interrupted"},
        {ToolText::kInterruptRefused, u"The upgrade cannot be stopped now: the printer would be left half upgraded. Please wait until it ends."},
        {ToolText::kAnotherRunRunning, u"another upgrade is already running"},
        {ToolText::kPrinterNoneNamed, u"no connected printer has the serial number, port or device \"{1}\" given with {2}; \"{3}\" lists the printers found"},
        {ToolText::kPrinterSeveralNamed, u"{1} connected printers have the serial number, port or device \"{2}\" given with {3}; name one of them by its device, as \"{4}\" lists it"},
        {ToolText::kPrinterNotTellable, u"another connected printer has the same serial number as the printer \"{1}\" given with {2}, so it could not be found again after its restart; disconnect the other printer first"},
        {ToolText::kRunLogIs, u"the log of this run is {1}"},
        {ToolText::kNoAdministratorRights, u"not running as administrator: the firmware can be sent, but afterwards the printer cannot be marked for a fresh driver installation. To include that step, run {1} as administrator."},
        {ToolText::kNoRunLog, u"no run log in {1}"},
        {ToolText::kNoStateFolder, u"(no state folder: {1} is not set)"},
        {ToolText::kCannotRead, u"cannot read {1}"},
        {ToolText::kTimeScaleIgnored, u"{1} is ignored: this build carries the maker's payloads, and a real printer needs its real waits."},
        {ToolText::kTimeScaleWrong, u"{1} must be a number above 0 and at most 1 (for example 0.01), not \"{2}\"."},
        {ToolText::kPayloadsStandIn, u"Tessel {1}, stand-in payloads (for the emulator only)"},
        {ToolText::kPayloadsMakers, u"Tessel {1}, the maker's payloads"},
        {ToolText::kPayloadLoader, u"loader"},
        {ToolText::kPayloadFirmware, u"firmware"},
        {ToolText::kPayloadLine, u"{1}: resource {2}, {3} bytes"},
        {ToolText::kPayloadDamaged, u" (missing or damaged)"},
        {ToolText::kUsageNoCommand, u"no command given"},
        {ToolText::kUsageNoArguments, u"{1} takes no arguments"},
        {ToolText::kUsageUnknownOption, u"{1}: unknown option {2}"},
        {ToolText::kUsageExclusive, u"{1}: {2} and {3} exclude each other"},
        {ToolText::kUsageNeedsValue, u"{1}: {2} needs a value"},
        {ToolText::kUsageRepeated, u"{1}: {2} may be given only once"},
        {ToolText::kUsageUnknownCommand, u"unknown command {1}"},
        {ToolText::kHelp, u"usage: tessel-cli upgrade [--yes|--no] [--json] [--no-confirm]\n"
         u"                          [--printer SERIAL|PORT]\n"
         u"       tessel-cli info [--json] [--printer SERIAL|PORT]\n"
         u"       tessel-cli log\n"
         u"       tessel-cli --version\n"
         u"       tessel-cli --help\n"
         u"\n"
         u"upgrade   upgrades the firmware of the connected printer. When the printer already\n"
         u"          runs the carried firmware, --yes upgrades it again and --no stops;\n"
         u"          without either the question is asked on a terminal and otherwise\n"
         u"          answered No. --json writes the run as JSON lines: each phase,\n"
         u"          progress step, display, question with its answer, and the exit status.\n"
         u"          After the success display it waits (at most 4 minutes) for the printer\n"
         u"          to come back and reads its version; --no-confirm skips that.\n"
         u"info      lists the printers found, their status and firmware version, and the\n"
         u"          printers that are plugged in but cannot be used. Sends no firmware.\n"
         u"--printer works on the one connected printer with this serial number, port or\n"
         u"          device file (as info lists them) instead of the first one listed; when\n"
         u"          no printer or several have it, nothing is sent (exit status 6 or 7).\n"
         u"log       prints the log of the last upgrade run (every run's log is kept in the\n"
         u"          tool's state folder, the last ten runs).\n"
         u"--version shows the carried firmware and checks the embedded payloads.\n"
         u"\n"
         u"Exit status of upgrade: 0 upgraded, 1 failed, 2 printer not ready, 3 ended with a\n"
         u"message (no printer, port busy, newer firmware, declined); after the success\n"
         u"display 4 when the printer then reports another version, 5 when it did not come\n"
         u"back within the wait. Of upgrade and info: 6 when no printer has the --printer\n"
         u"name, 7 when several have it; 64 wrong usage.\n"},
    }},
    // Block 3: Russian.
    {{
        {ToolText::kPhaseCheckingPrinter, u"проверка принтера"},
        {ToolText::kPhaseReadingVersion, u"чтение версии прошивки"},
        {ToolText::kPhaseSendingLoader, u"отправка загрузчика"},
        {ToolText::kPhaseSendingFirmware, u"отправка прошивки"},
        {ToolText::kPhaseAmount, u": {1}/{2} МБ"},
        {ToolText::kPhaseRate, u", {1} МБ/с"},
        {ToolText::kPhaseTimeLeft, u", осталось {1}"},
        {ToolText::kPhaseWaitingForRestart, u"ожидание перезапуска принтера"},
        {ToolText::kPhaseAtMost, u", не более {1}"},
        {ToolText::kPhaseBurning, u"запись прошивки во флеш-память"},
        {ToolText::kPhaseBurnWarning, u": не выключайте принтер"},
        {ToolText::kPhaseConfirming, u"проверка новой версии прошивки принтера"},
        {ToolText::kPhaseDone, u"готово"},
        {ToolText::kPhaseStopped, u"остановлено"},
        {ToolText::kDecimalSeparator, u","},
        {ToolText::kConfirmed, u"подтверждено: теперь на принтере прошивка {1}"},
        {ToolText::kConfirmOtherVersion, u"внимание: после обновления принтер сообщает о прошивке {1}, а не {2}. Перезапустите принтер и повторите обновление или обратитесь в службу поддержки клиентов Bexlot."},
        {ToolText::kConfirmNotBack, u"внимание: принтер не вернулся и не сообщил версию прошивки в течение {1} мин. Проверьте, что он включён и подключён, затем выполните «{2}», чтобы узнать его версию."},
        {ToolText::kOpenPermissionDenied, u"доступ запрещён (установите пакет tessel с его правилом udev, затем отключите и снова подключите принтер)"},
        {ToolText::kOpenNoDevice, u"устройство отсутствует (принтер отключён, или к нему не привязан драйвер)"},
        {ToolText::kOpenBusy, u"устройство занято (его держит другая программа)"},
        {ToolText::kOpenFailedNotice, u"Не удалось открыть принтер: {1}"},
        {ToolText::kCauseLine, u"Причина: {1} (этап: {2})."},
        {ToolText::kCauseLineBytes, u"Причина: {1} (этап: {2}; отправлено {3} из {4} МБ)."},
        {ToolText::kCauseSystem, u" Сообщение системы: {1}."},
        {ToolText::kReasonNotReadyStatus, u"принтер сообщает состояние {1}, в котором обновление невозможно"},
        {ToolText::kReasonOpenFailed, u"не удалось открыть файл устройства принтера"},
        {ToolText::kReasonNoReply, u"принтер не дал полного ответа в отведённое время"},
        {ToolText::kReasonBadReply, u"ответ принтера не удалось разобрать"},
        {ToolText::kReasonNoVersion, u"принтер не сообщил пригодную версию прошивки"},
        {ToolText::kReasonDroppedOffBus, u"принтер отключился от шины USB"},
        {ToolText::kReasonWriteFailed, u"принтер отказался принимать данные"},
        {ToolText::kReasonStoppedTakingData, u"принтер перестал принимать данные"},
        {ToolText::kReasonTransferTooLong, u"передача заняла больше отведённого времени"},
        {ToolText::kReasonPayloadMissing, u"данные, встроенные в утилиту, отсутствуют или повреждены"},
        {ToolText::kReasonNotBackAfterRestart, u"принтер не вернулся после перезапуска"},
        {ToolText::kReasonNotIdentified, u"после перезапуска принтер невозможно отличить от других принтеров"},
        {ToolText::kInfoCarried, u"Встроенная прошивка: {1}"},
        {ToolText::kInfoSearchFailed, u"Поиск принтеров не удался (результат {1}); ниже перечислены принтеры, найденные до сбоя."},
        {ToolText::kInfoNoPrinter, u"Поддерживаемый принтер не найден."},
        {ToolText::kInfoPrinter, u"Принтер {1}: {2}"},
        {ToolText::kInfoPortLabel, u"порт"},
        {ToolText::kInfoSerialLabel, u"серийный номер"},
        {ToolText::kInfoDeviceLabel, u"устройство"},
        {ToolText::kInfoTransportLabel, u"доступ"},
        {ToolText::kInfoStatusLabel, u"состояние"},
        {ToolText::kInfoFirmwareLabel, u"прошивка"},
        {ToolText::kInfoTransportPrinterDriver, u"узел устройства драйвера принтера (usblp)"},
        {ToolText::kInfoTransportUsbDevice, u"узел USB-устройства (libusb; ни один драйвер ядра не держит принтер)"},
        {ToolText::kInfoNone, u"(нет)"},
        {ToolText::kInfoNoDevicePath, u"не опрошен: нет пути к устройству (у интерфейса нет читаемых параметров, или это не обычный интерфейс принтера)"},
        {ToolText::kInfoDoesNotOpen, u"не опрошен: файл устройства не открывается: {1}"},
        {ToolText::kInfoOtherReason, u"система указала другую причину"},
        {ToolText::kInfoNoStatusAnswer, u"нет ответа на запрос состояния"},
        {ToolText::kInfoStatusReady, u"{1} (готов к обновлению)"},
        {ToolText::kInfoStatusNotReady, u"{1} (не готов: обновление остановится)"},
        {ToolText::kInfoNotAsked, u"не опрошен"},
        {ToolText::kInfoNoVersionAnswer, u"нет ответа на запрос версии (обновление остановится: принтер не готов)"},
        {ToolText::kInfoOlder, u"{1}, старше встроенной {2}: обновление установит её"},
        {ToolText::kInfoSame, u"{1}, совпадает со встроенной {2}: перед повторной установкой обновление спросит"},
        {ToolText::kInfoNewer, u"{1}, новее встроенной {2}: обновление остановится"},
        {ToolText::kInfoFirstOnly, u"Без {1} обновляется первый принтер в списке; чтобы выбрать другой, укажите {1} и его серийный номер, порт или устройство."},
        {ToolText::kInfoUnusable, u"Подключён, но не может использоваться: {1} ({2}): {3}"},
        {ToolText::kUnusableNoInterface, u"устройство не предоставляет интерфейс принтера"},
        {ToolText::kUnusableOtherDriver, u"его интерфейс принтера взял другой драйвер ({1})"},
        {ToolText::kUnusableNoDeviceNode, u"драйвер принтера взял интерфейс, но не создал для него узел устройства"},
        {ToolText::kUnusableOddDescriptors, u"{1}; программа его не открывает"},
        {ToolText::kDescriptorMalformed, u"его USB-дескрипторы обрезаны или повреждены"},
        {ToolText::kDescriptorNoConfiguration, u"в его USB-дескрипторах нет активной конфигурации"},
        {ToolText::kDescriptorNoPrinterInterface, u"в его USB-дескрипторах нет интерфейса принтера"},
        {ToolText::kDescriptorSeveralInterfaces, u"у него несколько USB-интерфейсов, а не один интерфейс принтера"},
        {ToolText::kDescriptorAlternateSettings, u"у его интерфейса принтера есть альтернативные настройки"},
        {ToolText::kDescriptorNotBidirectional, u"его интерфейс принтера не двунаправленный"},
        {ToolText::kDescriptorNoBulkOut, u"у его интерфейса принтера нет конечной точки bulk OUT"},
        {ToolText::kDescriptorNoBulkIn, u"у его интерфейса принтера нет конечной точки bulk IN"},
        {ToolText::kDescriptorOtherEndpoints, u"у его интерфейса принтера есть конечные точки, кроме одной bulk OUT и одной bulk IN"},
        {ToolText::kAnswerNoTerminal, u"нет терминала, чтобы задать вопрос; с {1} обновление всё равно выполняется"},
        {ToolText::kAnswerNotGiven, u"нет ответа"},
        {ToolText::kAnswerPlease, u"Ответьте y ({1}) или n ({2})."},
        {ToolText::kInterrupted, u"прервано"},
        {ToolText::kInterruptRefused, u"Сейчас обновление остановить нельзя: принтер останется обновлённым наполовину. Дождитесь окончания."},
        {ToolText::kAnotherRunRunning, u"другое обновление уже выполняется"},
        {ToolText::kPrinterNoneNamed, u"ни у одного подключённого принтера нет серийного номера, порта или устройства «{1}», указанного в {2}; «{3}» покажет найденные принтеры"},
        {ToolText::kPrinterSeveralNamed, u"серийный номер, порт или устройство «{2}», указанное в {3}, есть у {1} подключённых принтеров; укажите один из них по устройству, как его показывает «{4}»"},
        {ToolText::kPrinterNotTellable, u"у другого подключённого принтера тот же серийный номер, что и у принтера «{1}», указанного в {2}, поэтому после перезапуска его не удастся найти снова; сначала отключите другой принтер"},
        {ToolText::kRunLogIs, u"журнал этого запуска: {1}"},
        {ToolText::kNoAdministratorRights, u"запуск без прав администратора: прошивку можно отправить, но затем принтер нельзя пометить для переустановки драйвера. Чтобы выполнить и этот шаг, запустите {1} от имени администратора."},
        {ToolText::kNoRunLog, u"нет журнала запуска в {1}"},
        {ToolText::kNoStateFolder, u"(нет папки состояния: {1} не задана)"},
        {ToolText::kCannotRead, u"не удаётся прочитать {1}"},
        {ToolText::kTimeScaleIgnored, u"{1} не учитывается: в этой сборке данные производителя, а настоящему принтеру нужны настоящие паузы."},
        {ToolText::kTimeScaleWrong, u"{1} должна быть числом больше 0 и не больше 1 (например, 0.01), а не «{2}»."},
        {ToolText::kPayloadsStandIn, u"Tessel {1}, данные-заменители (только для эмулятора)"},
        {ToolText::kPayloadsMakers, u"Tessel {1}, данные производителя"},
        {ToolText::kPayloadLoader, u"загрузчик"},
        {ToolText::kPayloadFirmware, u"прошивка"},
        {ToolText::kPayloadLine, u"{1}: ресурс {2}, {3} байт"},
        {ToolText::kPayloadDamaged, u" (отсутствует или повреждён)"},
        {ToolText::kUsageNoCommand, u"команда не указана"},
        {ToolText::kUsageNoArguments, u"{1} не принимает аргументов"},
        {ToolText::kUsageUnknownOption, u"{1}: неизвестный параметр {2}"},
        {ToolText::kUsageExclusive, u"{1}: {2} и {3} исключают друг друга"},
        {ToolText::kUsageNeedsValue, u"{1}: для {2} нужно значение"},
        {ToolText::kUsageRepeated, u"{1}: {2} можно указать только один раз"},
        {ToolText::kUsageUnknownCommand, u"неизвестная команда {1}"},
        {ToolText::kHelp, u"использование: tessel-cli upgrade [--yes|--no] [--json] [--no-confirm]\n"
         u"                                  [--printer SERIAL|PORT]\n"
         u"               tessel-cli info [--json] [--printer SERIAL|PORT]\n"
         u"               tessel-cli log\n"
         u"               tessel-cli --version\n"
         u"               tessel-cli --help\n"
         u"\n"
         u"upgrade   обновляет прошивку подключённого принтера. Если на принтере уже\n"
         u"          встроенная прошивка, --yes обновляет её снова, а --no останавливает;\n"
         u"          без них вопрос задаётся в терминале, а без терминала ответ — «Нет».\n"
         u"          --json выводит ход работы строками JSON: каждый этап, шаг прогресса,\n"
         u"          экран, вопрос с ответом и код завершения. После экрана успеха ждёт\n"
         u"          (не более 4 минут), пока принтер вернётся, и читает его версию;\n"
         u"          --no-confirm пропускает это.\n"
         u"info      перечисляет найденные принтеры, их состояние и версию прошивки, а также\n"
         u"          подключённые принтеры, которые нельзя использовать. Прошивку не отправляет.\n"
         u"--printer работает с тем единственным подключённым принтером, у которого этот серийный\n"
         u"          номер, порт или файл устройства (как их показывает info), а не с первым\n"
         u"          в списке; если такого нет или их несколько, ничего не отправляется (код 6 или 7).\n"
         u"log       выводит журнал последнего обновления (журналы последних десяти запусков\n"
         u"          хранятся в папке состояния утилиты).\n"
         u"--version показывает встроенную прошивку и проверяет встроенные данные.\n"
         u"\n"
         u"Коды завершения upgrade: 0 обновлено, 1 сбой, 2 принтер не готов, 3 завершено\n"
         u"сообщением (нет принтера, порт занят, прошивка новее, отказ); после экрана успеха\n"
         u"4 — принтер сообщает другую версию, 5 — принтер не вернулся за время ожидания;\n"
         u"upgrade и info: 6 — ни у одного принтера нет имени из --printer, 7 — оно есть\n"
         u"у нескольких; 64 — неверное использование.\n"},
    }},
    // Block 4: Traditional Chinese.
    {{
        {ToolText::kPhaseCheckingPrinter, u"正在檢查印表機"},
        {ToolText::kPhaseReadingVersion, u"正在讀取印表機的韌體版本"},
        {ToolText::kPhaseSendingLoader, u"正在傳送載入程式"},
        {ToolText::kPhaseSendingFirmware, u"正在傳送韌體"},
        {ToolText::kPhaseAmount, u"：{1}/{2} MB"},
        {ToolText::kPhaseRate, u"，{1} MB/秒"},
        {ToolText::kPhaseTimeLeft, u"，剩餘 {1}"},
        {ToolText::kPhaseWaitingForRestart, u"正在等待印表機重新啟動"},
        {ToolText::kPhaseAtMost, u"，最多 {1}"},
        {ToolText::kPhaseBurning, u"正在將韌體寫入快閃記憶體"},
        {ToolText::kPhaseBurnWarning, u"：請勿關閉印表機電源"},
        {ToolText::kPhaseConfirming, u"正在確認印表機的新韌體版本"},
        {ToolText::kPhaseDone, u"完成"},
        {ToolText::kPhaseStopped, u"已停止"},
        {ToolText::kDecimalSeparator, u"."},
        {ToolText::kConfirmed, u"已確認：印表機目前執行的韌體版本為 {1}"},
        {ToolText::kConfirmOtherVersion, u"警告：升級後印表機回報的韌體版本為 {1}，而不是 {2}。請重新啟動印表機後再次升級，或聯絡Bexlot客服。"},
        {ToolText::kConfirmNotBack, u"警告：印表機在 {1} 分鐘內沒有恢復並回報其韌體版本。請檢查印表機是否已開機並已連接，然後執行「{2}」查看其版本。"},
        {ToolText::kOpenPermissionDenied, u"權限不足（請安裝 tessel 套件以取得其 udev 規則，然後拔下並重新插上印表機）"},
        {ToolText::kOpenNoDevice, u"裝置不存在（印表機已中斷連線，或沒有驅動程式與其繫結）"},
        {ToolText::kOpenBusy, u"裝置忙碌（另一個程式正在佔用印表機）"},
        {ToolText::kOpenFailedNotice, u"無法開啟印表機：{1}"},
        {ToolText::kCauseLine, u"原因：{1}（{2}時）。"},
        {ToolText::kCauseLineBytes, u"原因：{1}（{2}時，已傳送 {3} MB，共 {4} MB）。"},
        {ToolText::kCauseSystem, u"系統訊息：{1}。"},
        {ToolText::kReasonNotReadyStatus, u"印表機回報的狀態為 {1}，此狀態下無法升級"},
        {ToolText::kReasonOpenFailed, u"無法開啟印表機的裝置檔案"},
        {ToolText::kReasonNoReply, u"印表機未在限定時間內給出完整的回應"},
        {ToolText::kReasonBadReply, u"無法辨識印表機的回應"},
        {ToolText::kReasonNoVersion, u"印表機未回報可用的韌體版本"},
        {ToolText::kReasonDroppedOffBus, u"印表機已從USB匯流排上中斷連線"},
        {ToolText::kReasonWriteFailed, u"印表機拒絕接收資料"},
        {ToolText::kReasonStoppedTakingData, u"印表機停止接收資料"},
        {ToolText::kReasonTransferTooLong, u"傳輸時間超過了限定時間"},
        {ToolText::kReasonPayloadMissing, u"升級工具內附的資料遺失或已損壞"},
        {ToolText::kReasonNotBackAfterRestart, u"印表機重新啟動後沒有恢復連線"},
        {ToolText::kReasonNotIdentified, u"印表機重新啟動後，無法將其與其他印表機區分開"},
        {ToolText::kInfoCarried, u"內附韌體：{1}"},
        {ToolText::kInfoSearchFailed, u"搜尋印表機失敗（結果 {1}）；下列印表機是失敗前找到的印表機。"},
        {ToolText::kInfoNoPrinter, u"找不到支援的印表機。"},
        {ToolText::kInfoPrinter, u"印表機 {1}：{2}"},
        {ToolText::kInfoPortLabel, u"連接埠"},
        {ToolText::kInfoSerialLabel, u"序號"},
        {ToolText::kInfoDeviceLabel, u"裝置"},
        {ToolText::kInfoTransportLabel, u"連線方式"},
        {ToolText::kInfoStatusLabel, u"狀態"},
        {ToolText::kInfoFirmwareLabel, u"韌體"},
        {ToolText::kInfoTransportPrinterDriver, u"印表機驅動程式的裝置節點（usblp）"},
        {ToolText::kInfoTransportUsbDevice, u"USB 裝置節點（libusb；沒有核心驅動程式佔用印表機）"},
        {ToolText::kInfoNone, u"（無）"},
        {ToolText::kInfoNoDevicePath, u"未查詢：沒有裝置路徑（該介面沒有可讀取的參數，或不是一般的印表機介面）"},
        {ToolText::kInfoDoesNotOpen, u"未查詢：無法開啟裝置檔案：{1}"},
        {ToolText::kInfoOtherReason, u"系統給出了其他原因"},
        {ToolText::kInfoNoStatusAnswer, u"狀態查詢沒有回應"},
        {ToolText::kInfoStatusReady, u"{1}（可以升級）"},
        {ToolText::kInfoStatusNotReady, u"{1}（未就緒：升級將會停止）"},
        {ToolText::kInfoNotAsked, u"未查詢"},
        {ToolText::kInfoNoVersionAnswer, u"版本查詢沒有回應（升級將會停止：未就緒）"},
        {ToolText::kInfoOlder, u"{1}，低於內附的 {2}：升級將安裝內附韌體"},
        {ToolText::kInfoSame, u"{1}，與內附的 {2} 相同：升級在再次安裝前會先詢問"},
        {ToolText::kInfoNewer, u"{1}，高於內附的 {2}：升級將會停止"},
        {ToolText::kInfoFirstOnly, u"不帶 {1} 時，升級只對列出的第一台印表機進行；要升級另一台，請用 {1} 加上其序號、連接埠或裝置指定。"},
        {ToolText::kInfoUnusable, u"已插上但無法使用：{1}（位置 {2}）：{3}"},
        {ToolText::kUnusableNoInterface, u"該裝置沒有印表機介面"},
        {ToolText::kUnusableOtherDriver, u"另一個驅動程式（{1}）接管了其印表機介面"},
        {ToolText::kUnusableNoDeviceNode, u"印表機驅動程式已接管其介面，但沒有為其建立裝置節點"},
        {ToolText::kUnusableOddDescriptors, u"{1}；本工具不會開啟它"},
        {ToolText::kDescriptorMalformed, u"其USB描述元不完整或格式錯誤"},
        {ToolText::kDescriptorNoConfiguration, u"其USB描述元中沒有目前的組態"},
        {ToolText::kDescriptorNoPrinterInterface, u"其USB描述元中沒有印表機介面"},
        {ToolText::kDescriptorSeveralInterfaces, u"它有多個USB介面，而不是單一的印表機介面"},
        {ToolText::kDescriptorAlternateSettings, u"其印表機介面有替代設定"},
        {ToolText::kDescriptorNotBidirectional, u"其印表機介面不是雙向的"},
        {ToolText::kDescriptorNoBulkOut, u"其印表機介面沒有大量輸出端點"},
        {ToolText::kDescriptorNoBulkIn, u"其印表機介面沒有大量輸入端點"},
        {ToolText::kDescriptorOtherEndpoints, u"其印表機介面除一個大量輸出和一個大量輸入端點外還有其他端點"},
        {ToolText::kAnswerNoTerminal, u"沒有可以提問的終端機；使用 {1} 仍會升級"},
        {ToolText::kAnswerNotGiven, u"未回答"},
        {ToolText::kAnswerPlease, u"請回答 y（{1}）或 n（{2}）。"},
        {ToolText::kInterrupted, u"已中斷"},
        {ToolText::kInterruptRefused, u"現在無法停止升級：印表機將處於升級了一半的狀態。請等待升級結束。"},
        {ToolText::kAnotherRunRunning, u"另一個升級已在進行中"},
        {ToolText::kPrinterNoneNamed, u"沒有已連接的印表機具有 {2} 指定的序號、連接埠或裝置「{1}」；「{3}」會列出找到的印表機"},
        {ToolText::kPrinterSeveralNamed, u"有 {1} 台已連接的印表機具有 {3} 指定的序號、連接埠或裝置「{2}」；請依「{4}」列出的裝置指定其中一台"},
        {ToolText::kPrinterNotTellable, u"另一台已連接的印表機與 {2} 指定的印表機「{1}」具有相同的序號，因此重新啟動後無法再找到它；請先中斷另一台印表機的連接"},
        {ToolText::kRunLogIs, u"本次執行的記錄檔：{1}"},
        {ToolText::kNoAdministratorRights, u"未以系統管理員身分執行：可以傳送韌體，但之後無法將印表機標記為重新安裝驅動程式。如需包括該步驟，請以系統管理員身分執行 {1}。"},
        {ToolText::kNoRunLog, u"{1} 中沒有執行記錄檔"},
        {ToolText::kNoStateFolder, u"（沒有狀態資料夾：未設定 {1}）"},
        {ToolText::kCannotRead, u"無法讀取 {1}"},
        {ToolText::kTimeScaleIgnored, u"已忽略 {1}：此版本內附廠商的升級資料，真實的印表機需要真實的等待時間。"},
        {ToolText::kTimeScaleWrong, u"{1} 必須是大於 0 且不大於 1 的數（例如 0.01），而不是「{2}」。"},
        {ToolText::kPayloadsStandIn, u"Tessel {1}，替代資料（僅用於模擬器）"},
        {ToolText::kPayloadsMakers, u"Tessel {1}，廠商的升級資料"},
        {ToolText::kPayloadLoader, u"載入程式"},
        {ToolText::kPayloadFirmware, u"韌體"},
        {ToolText::kPayloadLine, u"{1}：資源 {2}，{3} 位元組"},
        {ToolText::kPayloadDamaged, u"（遺失或已損壞）"},
        {ToolText::kUsageNoCommand, u"未指定命令"},
        {ToolText::kUsageNoArguments, u"{1} 不接受參數"},
        {ToolText::kUsageUnknownOption, u"{1}：未知的選項 {2}"},
        {ToolText::kUsageExclusive, u"{1}：{2} 和 {3} 不能同時使用"},
        {ToolText::kUsageNeedsValue, u"{1}：{2} 需要一個值"},
        {ToolText::kUsageRepeated, u"{1}：{2} 只能指定一次"},
        {ToolText::kUsageUnknownCommand, u"未知的命令 {1}"},
        {ToolText::kHelp, u"用法：tessel-cli upgrade [--yes|--no] [--json] [--no-confirm]\n"
         u"                    [--printer SERIAL|PORT]\n"
         u"      tessel-cli info [--json] [--printer SERIAL|PORT]\n"
         u"      tessel-cli log\n"
         u"      tessel-cli --version\n"
         u"      tessel-cli --help\n"
         u"\n"
         u"upgrade    升級所連接印表機的韌體。印表機已經執行內附的韌體時，--yes 再次升級，\n"
         u"           --no 停止；兩者都未指定時，在終端機上詢問，否則回答「否」。--json 將執行過程\n"
         u"           以 JSON 行寫出：每個階段、進度、顯示、問題及其回答，以及結束狀態。\n"
         u"           顯示升級成功後，等待印表機恢復（最多 4 分鐘）並讀取其版本；\n"
         u"           --no-confirm 略過此步驟。\n"
         u"info       列出找到的印表機及其狀態和韌體版本，以及已插上但無法使用的印表機。\n"
         u"           不傳送韌體。\n"
         u"--printer  只對具有此序號、連接埠或裝置檔案（如 info 所列）的那台已連接印表機進行，\n"
         u"           而不是列出的第一台；沒有或有多台印表機符合時，不傳送任何內容，\n"
         u"           結束狀態為 6 或 7。\n"
         u"log        顯示上一次升級執行的記錄檔（每次執行的記錄檔保存在工具的狀態資料夾中，\n"
         u"           保留最近十次）。\n"
         u"--version  顯示內附的韌體並檢查內建的升級資料。\n"
         u"\n"
         u"upgrade 的結束狀態：0 已升級，1 失敗，2 印表機未就緒，3 以訊息結束（沒有印表機、\n"
         u"連接埠被佔用、韌體較新、已拒絕）；顯示升級成功後，4 印表機回報了其他版本，\n"
         u"5 印表機未在等待時間內恢復。upgrade 和 info 的結束狀態：6 沒有印表機符合 --printer，\n"
         u"7 有多台印表機符合；64 用法錯誤。\n"},
    }},
    // Block 5: Italian.
    {{
        {ToolText::kPhaseCheckingPrinter, u"verifica della stampante"},
        {ToolText::kPhaseReadingVersion, u"lettura della versione del firmware"},
        {ToolText::kPhaseSendingLoader, u"invio del programma di caricamento"},
        {ToolText::kPhaseSendingFirmware, u"invio del firmware"},
        {ToolText::kPhaseAmount, u": {1}/{2} MB"},
        {ToolText::kPhaseRate, u", {1} MB/s"},
        {ToolText::kPhaseTimeLeft, u", {1} rimanenti"},
        {ToolText::kPhaseWaitingForRestart, u"attesa del riavvio della stampante"},
        {ToolText::kPhaseAtMost, u", al massimo {1}"},
        {ToolText::kPhaseBurning, u"scrittura del firmware nella memoria flash"},
        {ToolText::kPhaseBurnWarning, u": non spegnere la stampante"},
        {ToolText::kPhaseConfirming, u"verifica della nuova versione della stampante"},
        {ToolText::kPhaseDone, u"completato"},
        {ToolText::kPhaseStopped, u"interrotto"},
        {ToolText::kDecimalSeparator, u","},
        {ToolText::kConfirmed, u"verificato: ora la stampante esegue il firmware {1}"},
        {ToolText::kConfirmOtherVersion, u"attenzione: dopo l'aggiornamento la stampante indica il firmware {1} anziché {2}. Riavviare la stampante e ripetere l'aggiornamento, oppure contattare il servizio clienti Bexlot."},
        {ToolText::kConfirmNotBack, u"attenzione: entro {1} minuti la stampante non è tornata disponibile né ha indicato il suo firmware. Verificare che sia accesa e collegata, poi eseguire \"{2}\" per vederne la versione."},
        {ToolText::kOpenPermissionDenied, u"permesso negato (installare il pacchetto tessel per la sua regola udev, poi scollegare e ricollegare la stampante)"},
        {ToolText::kOpenNoDevice, u"dispositivo inesistente (la stampante è stata scollegata, oppure nessun driver la gestisce)"},
        {ToolText::kOpenBusy, u"occupato (un altro programma lo sta usando)"},
        {ToolText::kOpenFailedNotice, u"Impossibile aprire la stampante: {1}"},
        {ToolText::kCauseLine, u"Causa: {1} (fase: {2})."},
        {ToolText::kCauseLineBytes, u"Causa: {1} (fase: {2}; inviati {3} di {4} MB)."},
        {ToolText::kCauseSystem, u" Messaggio del sistema: {1}."},
        {ToolText::kReasonNotReadyStatus, u"la stampante indica lo stato {1}, che non consente l'aggiornamento"},
        {ToolText::kReasonOpenFailed, u"impossibile aprire il file di dispositivo della stampante"},
        {ToolText::kReasonNoReply, u"la stampante non ha dato una risposta completa entro il limite di tempo"},
        {ToolText::kReasonBadReply, u"la risposta della stampante non è comprensibile"},
        {ToolText::kReasonNoVersion, u"la stampante non ha indicato una versione del firmware utilizzabile"},
        {ToolText::kReasonDroppedOffBus, u"la stampante si è scollegata dal bus USB"},
        {ToolText::kReasonWriteFailed, u"la stampante ha rifiutato i dati"},
        {ToolText::kReasonStoppedTakingData, u"la stampante ha smesso di ricevere dati"},
        {ToolText::kReasonTransferTooLong, u"il trasferimento ha superato il limite di tempo"},
        {ToolText::kReasonPayloadMissing, u"i dati contenuti nello strumento mancano o sono danneggiati"},
        {ToolText::kReasonNotBackAfterRestart, u"la stampante non è tornata disponibile dopo il riavvio"},
        {ToolText::kReasonNotIdentified, u"dopo il riavvio non è stato possibile distinguere la stampante dalle altre"},
        {ToolText::kInfoCarried, u"Firmware incluso: {1}"},
        {ToolText::kInfoSearchFailed, u"La ricerca delle stampanti non è riuscita (risultato {1}); le stampanti elencate sotto sono quelle trovate prima dell'errore."},
        {ToolText::kInfoNoPrinter, u"Nessuna stampante supportata trovata."},
        {ToolText::kInfoPrinter, u"Stampante {1}: {2}"},
        {ToolText::kInfoPortLabel, u"porta"},
        {ToolText::kInfoSerialLabel, u"numero di serie"},
        {ToolText::kInfoDeviceLabel, u"dispositivo"},
        {ToolText::kInfoTransportLabel, u"tramite"},
        {ToolText::kInfoStatusLabel, u"stato"},
        {ToolText::kInfoFirmwareLabel, u"firmware"},
        {ToolText::kInfoTransportPrinterDriver, u"il nodo di dispositivo del driver della stampante (usblp)"},
        {ToolText::kInfoTransportUsbDevice, u"il nodo del dispositivo USB (libusb; nessun driver del kernel gestisce la stampante)"},
        {ToolText::kInfoNone, u"(nessuno)"},
        {ToolText::kInfoNoDevicePath, u"non interrogata: nessun percorso del dispositivo (l'interfaccia non ha parametri leggibili o non è una semplice interfaccia di stampante)"},
        {ToolText::kInfoDoesNotOpen, u"non interrogata: il file di dispositivo non si apre: {1}"},
        {ToolText::kInfoOtherReason, u"il sistema ha indicato un altro motivo"},
        {ToolText::kInfoNoStatusAnswer, u"nessuna risposta alla richiesta di stato"},
        {ToolText::kInfoStatusReady, u"{1} (pronta per l'aggiornamento)"},
        {ToolText::kInfoStatusNotReady, u"{1} (non pronta: l'aggiornamento si fermerebbe)"},
        {ToolText::kInfoNotAsked, u"non interrogata"},
        {ToolText::kInfoNoVersionAnswer, u"nessuna risposta alla richiesta di versione (l'aggiornamento si fermerebbe: non pronta)"},
        {ToolText::kInfoOlder, u"{1}, precedente al firmware incluso {2}: l'aggiornamento lo installa"},
        {ToolText::kInfoSame, u"{1}, uguale al firmware incluso {2}: l'aggiornamento chiede conferma prima di reinstallarlo"},
        {ToolText::kInfoNewer, u"{1}, più recente del firmware incluso {2}: l'aggiornamento si ferma"},
        {ToolText::kInfoFirstOnly, u"Senza {1} l'aggiornamento riguarda la prima stampante elencata; per sceglierne un'altra indicare {1} con il suo numero di serie, la porta o il dispositivo."},
        {ToolText::kInfoUnusable, u"Collegata ma non utilizzabile: {1} su {2}: {3}"},
        {ToolText::kUnusableNoInterface, u"il dispositivo non presenta un'interfaccia di stampante"},
        {ToolText::kUnusableOtherDriver, u"un altro driver ({1}) gestisce la sua interfaccia di stampante"},
        {ToolText::kUnusableNoDeviceNode, u"il driver della stampante gestisce l'interfaccia ma non ha creato un nodo di dispositivo"},
        {ToolText::kUnusableOddDescriptors, u"{1}; lo strumento non lo apre"},
        {ToolText::kDescriptorMalformed, u"i suoi descrittori USB sono troncati o non validi"},
        {ToolText::kDescriptorNoConfiguration, u"i suoi descrittori USB non mostrano una configurazione attiva"},
        {ToolText::kDescriptorNoPrinterInterface, u"i suoi descrittori USB non mostrano un'interfaccia di stampante"},
        {ToolText::kDescriptorSeveralInterfaces, u"presenta più interfacce USB, non la sola interfaccia di stampante"},
        {ToolText::kDescriptorAlternateSettings, u"la sua interfaccia di stampante ha impostazioni alternative"},
        {ToolText::kDescriptorNotBidirectional, u"la sua interfaccia di stampante non è bidirezionale"},
        {ToolText::kDescriptorNoBulkOut, u"la sua interfaccia di stampante non ha un endpoint bulk OUT"},
        {ToolText::kDescriptorNoBulkIn, u"la sua interfaccia di stampante non ha un endpoint bulk IN"},
        {ToolText::kDescriptorOtherEndpoints, u"la sua interfaccia di stampante ha endpoint oltre a un bulk OUT e un bulk IN"},
        {ToolText::kAnswerNoTerminal, u"nessun terminale su cui chiedere; con {1} l'aggiornamento procede comunque"},
        {ToolText::kAnswerNotGiven, u"nessuna risposta"},
        {ToolText::kAnswerPlease, u"Rispondere y ({1}) oppure n ({2})."},
        {ToolText::kInterrupted, u"interrotto"},
        {ToolText::kInterruptRefused, u"Ora non è possibile fermare l'aggiornamento: la stampante resterebbe aggiornata a metà. Attendere che finisca."},
        {ToolText::kAnotherRunRunning, u"un altro aggiornamento è già in corso"},
        {ToolText::kPrinterNoneNamed, u"nessuna stampante collegata ha il numero di serie, la porta o il dispositivo \"{1}\" indicato con {2}; \"{3}\" elenca le stampanti trovate"},
        {ToolText::kPrinterSeveralNamed, u"{1} stampanti collegate hanno il numero di serie, la porta o il dispositivo \"{2}\" indicato con {3}; indicarne una con il suo dispositivo, come lo elenca \"{4}\""},
        {ToolText::kPrinterNotTellable, u"un'altra stampante collegata ha lo stesso numero di serie della stampante \"{1}\" indicata con {2}, quindi dopo il riavvio non potrebbe essere ritrovata; scollegare prima l'altra stampante"},
        {ToolText::kRunLogIs, u"il registro di questa esecuzione è {1}"},
        {ToolText::kNoAdministratorRights, u"esecuzione senza diritti di amministratore: il firmware può essere inviato, ma poi la stampante non può essere contrassegnata per una nuova installazione del driver. Per includere questo passaggio, eseguire {1} come amministratore."},
        {ToolText::kNoRunLog, u"nessun registro di esecuzione in {1}"},
        {ToolText::kNoStateFolder, u"(nessuna cartella di stato: {1} non è impostata)"},
        {ToolText::kCannotRead, u"impossibile leggere {1}"},
        {ToolText::kTimeScaleIgnored, u"{1} viene ignorata: questa build contiene i dati del produttore e una stampante reale ha bisogno delle sue attese reali."},
        {ToolText::kTimeScaleWrong, u"{1} deve essere un numero maggiore di 0 e al massimo 1 (per esempio 0.01), non \"{2}\"."},
        {ToolText::kPayloadsStandIn, u"Tessel {1}, dati sostitutivi (solo per l'emulatore)"},
        {ToolText::kPayloadsMakers, u"Tessel {1}, dati del produttore"},
        {ToolText::kPayloadLoader, u"programma di caricamento"},
        {ToolText::kPayloadFirmware, u"firmware"},
        {ToolText::kPayloadLine, u"{1}: risorsa {2}, {3} byte"},
        {ToolText::kPayloadDamaged, u" (mancante o danneggiato)"},
        {ToolText::kUsageNoCommand, u"nessun comando indicato"},
        {ToolText::kUsageNoArguments, u"{1} non accetta argomenti"},
        {ToolText::kUsageUnknownOption, u"{1}: opzione sconosciuta {2}"},
        {ToolText::kUsageExclusive, u"{1}: {2} e {3} si escludono a vicenda"},
        {ToolText::kUsageNeedsValue, u"{1}: {2} richiede un valore"},
        {ToolText::kUsageRepeated, u"{1}: {2} può essere indicato una sola volta"},
        {ToolText::kUsageUnknownCommand, u"comando sconosciuto {1}"},
        {ToolText::kHelp, u"uso: tessel-cli upgrade [--yes|--no] [--json] [--no-confirm]\n"
         u"                        [--printer SERIAL|PORT]\n"
         u"     tessel-cli info [--json] [--printer SERIAL|PORT]\n"
         u"     tessel-cli log\n"
         u"     tessel-cli --version\n"
         u"     tessel-cli --help\n"
         u"\n"
         u"upgrade   aggiorna il firmware della stampante collegata. Se la stampante esegue già\n"
         u"          il firmware incluso, --yes la aggiorna di nuovo e --no si ferma; senza\n"
         u"          nessuno dei due la domanda viene posta sul terminale, altrimenti la risposta\n"
         u"          è \"No\". --json scrive l'esecuzione come righe JSON: ogni fase, passo di\n"
         u"          avanzamento, schermata, domanda con la sua risposta e stato di uscita. Dopo\n"
         u"          la schermata di successo attende (al massimo 4 minuti) che la stampante torni\n"
         u"          disponibile e ne legge la versione; --no-confirm salta questo passaggio.\n"
         u"info      elenca le stampanti trovate, il loro stato e la versione del firmware, e le\n"
         u"          stampanti collegate ma non utilizzabili. Non invia alcun firmware.\n"
         u"--printer lavora sull'unica stampante collegata con questo numero di serie, porta o\n"
         u"          file di dispositivo (come li elenca info) invece che sulla prima elencata;\n"
         u"          se nessuna o più di una lo ha, non viene inviato nulla (stato di uscita 6 o 7).\n"
         u"log       stampa il registro dell'ultimo aggiornamento (la cartella di stato dello\n"
         u"          strumento conserva i registri delle ultime dieci esecuzioni).\n"
         u"--version mostra il firmware incluso e verifica i dati incorporati.\n"
         u"\n"
         u"Stato di uscita di upgrade: 0 aggiornata, 1 non riuscito, 2 stampante non pronta,\n"
         u"3 terminato con un messaggio (nessuna stampante, porta occupata, firmware più recente,\n"
         u"rifiutato); dopo la schermata di successo, 4 se la stampante indica un'altra versione,\n"
         u"5 se non è tornata disponibile entro l'attesa. Di upgrade e info: 6 se nessuna\n"
         u"stampante ha il nome dato con --printer, 7 se più stampanti lo hanno; 64 uso errato.\n"},
    }},
    // Block 6: Japanese.
    {{
        {ToolText::kPhaseCheckingPrinter, u"プリンターを確認しています"},
        {ToolText::kPhaseReadingVersion, u"ファームウェアバージョンを読み取っています"},
        {ToolText::kPhaseSendingLoader, u"ローダーを送信しています"},
        {ToolText::kPhaseSendingFirmware, u"ファームウェアを送信しています"},
        {ToolText::kPhaseAmount, u"：{1}/{2} MB"},
        {ToolText::kPhaseRate, u"、{1} MB/秒"},
        {ToolText::kPhaseTimeLeft, u"、残り {1}"},
        {ToolText::kPhaseWaitingForRestart, u"プリンターの再起動を待っています"},
        {ToolText::kPhaseAtMost, u"、最長 {1}"},
        {ToolText::kPhaseBurning, u"ファームウェアをフラッシュメモリーに書き込んでいます"},
        {ToolText::kPhaseBurnWarning, u"：プリンターの電源を切らないでください"},
        {ToolText::kPhaseConfirming, u"プリンターの新しいバージョンを確認しています"},
        {ToolText::kPhaseDone, u"完了"},
        {ToolText::kPhaseStopped, u"中止"},
        {ToolText::kDecimalSeparator, u"."},
        {ToolText::kConfirmed, u"確認しました：プリンターのファームウェアは {1} になりました"},
        {ToolText::kConfirmOtherVersion, u"警告：アップグレード後、プリンターはファームウェア {1} を報告しています（{2} ではありません）。プリンターを再起動してもう一度アップグレードするか、カスタマーサービスにお問い合わせください。"},
        {ToolText::kConfirmNotBack, u"警告：プリンターは {1} 分以内に復帰せず、ファームウェアを報告しませんでした。電源が入っていて接続されていることを確認してから、「{2}」を実行してバージョンを確認してください。"},
        {ToolText::kOpenPermissionDenied, u"アクセスが拒否されました（tessel パッケージをインストールして udev ルールを入れてから、プリンターを抜き差ししてください）"},
        {ToolText::kOpenNoDevice, u"デバイスがありません（プリンターが外れたか、ドライバーが割り当てられていません）"},
        {ToolText::kOpenBusy, u"使用中です（別のプログラムがプリンターを使っています）"},
        {ToolText::kOpenFailedNotice, u"プリンターを開けませんでした：{1}"},
        {ToolText::kCauseLine, u"原因：{1}（段階：{2}）。"},
        {ToolText::kCauseLineBytes, u"原因：{1}（段階：{2}、{4} MB 中 {3} MB 送信済み）。"},
        {ToolText::kCauseSystem, u"システムからの情報：{1}。"},
        {ToolText::kReasonNotReadyStatus, u"プリンターの状態が {1} で、アップグレードできる状態ではありません"},
        {ToolText::kReasonOpenFailed, u"プリンターのデバイスファイルを開けませんでした"},
        {ToolText::kReasonNoReply, u"プリンターが制限時間内に完全な応答を返しませんでした"},
        {ToolText::kReasonBadReply, u"プリンターの応答を解釈できませんでした"},
        {ToolText::kReasonNoVersion, u"プリンターが有効なファームウェアバージョンを報告しませんでした"},
        {ToolText::kReasonDroppedOffBus, u"プリンターの USB 接続が切れました"},
        {ToolText::kReasonWriteFailed, u"プリンターがデータを受け付けませんでした"},
        {ToolText::kReasonStoppedTakingData, u"プリンターがデータの受信を止めました"},
        {ToolText::kReasonTransferTooLong, u"転送が制限時間を超えました"},
        {ToolText::kReasonPayloadMissing, u"ツールに内蔵されたデータがないか、壊れています"},
        {ToolText::kReasonNotBackAfterRestart, u"プリンターが再起動後に復帰しませんでした"},
        {ToolText::kReasonNotIdentified, u"再起動後のプリンターを他のプリンターと区別できませんでした"},
        {ToolText::kInfoCarried, u"内蔵ファームウェア：{1}"},
        {ToolText::kInfoSearchFailed, u"プリンターの検索に失敗しました（結果 {1}）。以下は失敗する前に見つかったプリンターです。"},
        {ToolText::kInfoNoPrinter, u"対応するプリンターが見つかりません。"},
        {ToolText::kInfoPrinter, u"プリンター {1}：{2}"},
        {ToolText::kInfoPortLabel, u"ポート"},
        {ToolText::kInfoSerialLabel, u"シリアル番号"},
        {ToolText::kInfoDeviceLabel, u"デバイス"},
        {ToolText::kInfoTransportLabel, u"接続経路"},
        {ToolText::kInfoStatusLabel, u"状態"},
        {ToolText::kInfoFirmwareLabel, u"ファームウェア"},
        {ToolText::kInfoTransportPrinterDriver, u"プリンタードライバーのデバイスノード（usblp）"},
        {ToolText::kInfoTransportUsbDevice, u"USB デバイスノード（libusb。プリンターを使用しているカーネルドライバーはありません）"},
        {ToolText::kInfoNone, u"（なし）"},
        {ToolText::kInfoNoDevicePath, u"未確認：デバイスパスがありません（インターフェースに読み取れるパラメーターがないか、通常のプリンターインターフェースではありません）"},
        {ToolText::kInfoDoesNotOpen, u"未確認：デバイスファイルを開けません：{1}"},
        {ToolText::kInfoOtherReason, u"システムは別の理由を返しました"},
        {ToolText::kInfoNoStatusAnswer, u"状態の問い合わせに応答がありません"},
        {ToolText::kInfoStatusReady, u"{1}（アップグレードできます）"},
        {ToolText::kInfoStatusNotReady, u"{1}（準備ができていません：アップグレードは中止されます）"},
        {ToolText::kInfoNotAsked, u"未確認"},
        {ToolText::kInfoNoVersionAnswer, u"バージョンの問い合わせに応答がありません（アップグレードは中止されます：準備ができていません）"},
        {ToolText::kInfoOlder, u"{1}、内蔵の {2} より古い：アップグレードでインストールされます"},
        {ToolText::kInfoSame, u"{1}、内蔵の {2} と同じ：再インストールの前に確認します"},
        {ToolText::kInfoNewer, u"{1}、内蔵の {2} より新しい：アップグレードは中止されます"},
        {ToolText::kInfoFirstOnly, u"{1} を指定しない場合、アップグレードは一覧の最初のプリンターにのみ行われます。別のプリンターは {1} とそのシリアル番号、ポート、またはデバイスで指定してください。"},
        {ToolText::kInfoUnusable, u"接続されていますが使用できません：{1}（場所 {2}）：{3}"},
        {ToolText::kUnusableNoInterface, u"このデバイスにはプリンターインターフェースがありません"},
        {ToolText::kUnusableOtherDriver, u"別のドライバー（{1}）がプリンターインターフェースを使用しています"},
        {ToolText::kUnusableNoDeviceNode, u"プリンタードライバーはインターフェースを担当していますが、デバイスノードを作成していません"},
        {ToolText::kUnusableOddDescriptors, u"{1}。このツールはこのデバイスを開きません"},
        {ToolText::kDescriptorMalformed, u"USB ディスクリプターが途中で切れているか、形式が正しくありません"},
        {ToolText::kDescriptorNoConfiguration, u"USB ディスクリプターに有効な構成がありません"},
        {ToolText::kDescriptorNoPrinterInterface, u"USB ディスクリプターにプリンターインターフェースがありません"},
        {ToolText::kDescriptorSeveralInterfaces, u"プリンターインターフェースだけでなく、複数の USB インターフェースがあります"},
        {ToolText::kDescriptorAlternateSettings, u"プリンターインターフェースに代替設定があります"},
        {ToolText::kDescriptorNotBidirectional, u"プリンターインターフェースが双方向ではありません"},
        {ToolText::kDescriptorNoBulkOut, u"プリンターインターフェースにバルク OUT エンドポイントがありません"},
        {ToolText::kDescriptorNoBulkIn, u"プリンターインターフェースにバルク IN エンドポイントがありません"},
        {ToolText::kDescriptorOtherEndpoints, u"プリンターインターフェースにバルク OUT とバルク IN 以外のエンドポイントがあります"},
        {ToolText::kAnswerNoTerminal, u"質問できる端末がありません。{1} を付けるとアップグレードします"},
        {ToolText::kAnswerNotGiven, u"回答なし"},
        {ToolText::kAnswerPlease, u"y（{1}）または n（{2}）で答えてください。"},
        {ToolText::kInterrupted, u"中断しました"},
        {ToolText::kInterruptRefused, u"今はアップグレードを止められません：プリンターが中途半端な状態になります。終わるまでお待ちください。"},
        {ToolText::kAnotherRunRunning, u"別のアップグレードがすでに実行中です"},
        {ToolText::kPrinterNoneNamed, u"{2} で指定されたシリアル番号、ポート、またはデバイス「{1}」を持つ接続中のプリンターはありません。見つかったプリンターは「{3}」で一覧できます"},
        {ToolText::kPrinterSeveralNamed, u"{3} で指定されたシリアル番号、ポート、またはデバイス「{2}」を持つ接続中のプリンターが {1} 台あります。「{4}」が示すデバイスでそのうち一台を指定してください"},
        {ToolText::kPrinterNotTellable, u"{2} で指定されたプリンター「{1}」と同じシリアル番号を持つ別のプリンターが接続されているため、再起動後にそのプリンターを見つけられません。先にもう一方のプリンターを取り外してください"},
        {ToolText::kRunLogIs, u"今回の実行のログ：{1}"},
        {ToolText::kNoAdministratorRights, u"管理者として実行されていません：ファームウェアは送信できますが、その後プリンターをドライバー再インストールの対象にできません。この手順も行うには、{1} を管理者として実行してください。"},
        {ToolText::kNoRunLog, u"{1} に実行ログがありません"},
        {ToolText::kNoStateFolder, u"（状態フォルダーがありません：{1} が設定されていません）"},
        {ToolText::kCannotRead, u"{1} を読み取れません"},
        {ToolText::kTimeScaleIgnored, u"{1} は無視されます：このビルドはメーカーのデータを内蔵しており、実際のプリンターには実際の待ち時間が必要です。"},
        {ToolText::kTimeScaleWrong, u"{1} は 0 より大きく 1 以下の数（例：0.01）でなければなりません（指定値：「{2}」）。"},
        {ToolText::kPayloadsStandIn, u"Tessel {1}、代替データ（エミュレーター専用）"},
        {ToolText::kPayloadsMakers, u"Tessel {1}、メーカーのデータ"},
        {ToolText::kPayloadLoader, u"ローダー"},
        {ToolText::kPayloadFirmware, u"ファームウェア"},
        {ToolText::kPayloadLine, u"{1}：リソース {2}、{3} バイト"},
        {ToolText::kPayloadDamaged, u"（ないか、壊れています）"},
        {ToolText::kUsageNoCommand, u"コマンドが指定されていません"},
        {ToolText::kUsageNoArguments, u"{1} には引数を指定できません"},
        {ToolText::kUsageUnknownOption, u"{1}：不明なオプション {2}"},
        {ToolText::kUsageExclusive, u"{1}：{2} と {3} は同時に指定できません"},
        {ToolText::kUsageNeedsValue, u"{1}：{2} には値が必要です"},
        {ToolText::kUsageRepeated, u"{1}：{2} は一度しか指定できません"},
        {ToolText::kUsageUnknownCommand, u"不明なコマンド {1}"},
        {ToolText::kHelp, u"使い方：tessel-cli upgrade [--yes|--no] [--json] [--no-confirm]\n"
         u"                          [--printer SERIAL|PORT]\n"
         u"        tessel-cli info [--json] [--printer SERIAL|PORT]\n"
         u"        tessel-cli log\n"
         u"        tessel-cli --version\n"
         u"        tessel-cli --help\n"
         u"\n"
         u"upgrade    接続されたプリンターのファームウェアをアップグレードします。プリンターが\n"
         u"           すでに内蔵のファームウェアで動作している場合、--yes で再度アップグレードし、\n"
         u"           --no で中止します。どちらもない場合は端末で質問し、端末がなければ\n"
         u"           「キャンセル」と答えます。--json は実行内容を JSON 行で出力します：各段階、\n"
         u"           進行状況、表示、質問とその回答、終了ステータス。成功の表示の後、プリンターの\n"
         u"           復帰を（最長 4 分）待ってバージョンを読み取ります。--no-confirm で省略します。\n"
         u"info       見つかったプリンターとその状態、ファームウェアバージョン、および接続されて\n"
         u"           いるが使用できないプリンターを一覧表示します。ファームウェアは送信しません。\n"
         u"--printer  一覧の最初のプリンターではなく、このシリアル番号、ポート、またはデバイス\n"
         u"           ファイル（info の表示どおり）を持つ接続中の一台に対して動作します。該当が\n"
         u"           ないか複数ある場合は何も送信しません（終了ステータス 6 または 7）。\n"
         u"log        前回のアップグレードの実行ログを表示します（実行ログはツールの状態フォルダーに\n"
         u"           最新の十回分が保存されます）。\n"
         u"--version  内蔵のファームウェアを表示し、組み込まれたデータを検査します。\n"
         u"\n"
         u"upgrade の終了ステータス：0 アップグレード完了、1 失敗、2 プリンターの準備ができて\n"
         u"いない、3 メッセージで終了（プリンターなし、ポート使用中、ファームウェアが新しい、\n"
         u"拒否）。成功の表示の後、4 プリンターが別のバージョンを報告した、5 待ち時間内に\n"
         u"復帰しなかった。upgrade と info：6 --printer の名前を持つプリンターがない、7 複数ある。\n"
         u"64 使い方の誤り。\n"},
    }},
    // Block 7: Hebrew.
    {{
        {ToolText::kPhaseCheckingPrinter, u"בודק את המדפסת"},
        {ToolText::kPhaseReadingVersion, u"קורא את גרסת הקושחה"},
        {ToolText::kPhaseSendingLoader, u"שולח את תוכנת הטעינה"},
        {ToolText::kPhaseSendingFirmware, u"שולח את הקושחה"},
        {ToolText::kPhaseAmount, u": \u2066{1}/{2} MB\u2069"},
        {ToolText::kPhaseRate, u", \u2066{1} MB/s\u2069"},
        {ToolText::kPhaseTimeLeft, u", נותרו {1}"},
        {ToolText::kPhaseWaitingForRestart, u"ממתין להפעלה מחדש של המדפסת"},
        {ToolText::kPhaseAtMost, u", לכל היותר {1}"},
        {ToolText::kPhaseBurning, u"צורב את הקושחה לזיכרון הפלאש"},
        {ToolText::kPhaseBurnWarning, u": אל תכבה את המדפסת"},
        {ToolText::kPhaseConfirming, u"מאמת את הגרסה החדשה של המדפסת"},
        {ToolText::kPhaseDone, u"הסתיים"},
        {ToolText::kPhaseStopped, u"נעצר"},
        {ToolText::kDecimalSeparator, u"."},
        {ToolText::kConfirmed, u"אומת: המדפסת מריצה כעת את הקושחה {1}"},
        {ToolText::kConfirmOtherVersion, u"אזהרה: לאחר השדרוג המדפסת מדווחת על קושחה {1} ולא {2}. אנא הפעל מחדש את המדפסת ובצע את השדרוג שוב, או פנה לצוות שירות הלקוחות של Bexlot."},
        {ToolText::kConfirmNotBack, u"אזהרה: המדפסת לא חזרה ולא דיווחה על הקושחה שלה בתוך {1} דקות. ודא שהיא מופעלת ומחוברת, ולאחר מכן הרץ את \"{2}\" כדי לראות את הגרסה שלה."},
        {ToolText::kOpenPermissionDenied, u"הגישה נדחתה (התקן את החבילה tessel בשביל כלל ה-udev שלה, ולאחר מכן נתק את המדפסת וחבר אותה מחדש)"},
        {ToolText::kOpenNoDevice, u"אין התקן כזה (המדפסת נותקה, או שאין מנהל התקן המשויך אליה)"},
        {ToolText::kOpenBusy, u"תפוס (תוכנה אחרת מחזיקה בו)"},
        {ToolText::kOpenFailedNotice, u"לא ניתן היה לפתוח את המדפסת: {1}"},
        {ToolText::kCauseLine, u"סיבה: {1} (שלב: {2})."},
        {ToolText::kCauseLineBytes, u"סיבה: {1} (שלב: {2}; נשלחו {3} מתוך \u2066{4} MB\u2069)."},
        {ToolText::kCauseSystem, u" הודעת המערכת: {1}."},
        {ToolText::kReasonNotReadyStatus, u"המדפסת מדווחת על מצב {1}, שאינו מאפשר שדרוג"},
        {ToolText::kReasonOpenFailed, u"לא ניתן היה לפתוח את קובץ ההתקן של המדפסת"},
        {ToolText::kReasonNoReply, u"המדפסת לא השיבה תשובה מלאה בתוך מגבלת הזמן"},
        {ToolText::kReasonBadReply, u"לא ניתן היה להבין את תשובת המדפסת"},
        {ToolText::kReasonNoVersion, u"המדפסת לא דיווחה על גרסת קושחה שמישה"},
        {ToolText::kReasonDroppedOffBus, u"המדפסת התנתקה מאפיק ה-USB"},
        {ToolText::kReasonWriteFailed, u"המדפסת סירבה לקבל את הנתונים"},
        {ToolText::kReasonStoppedTakingData, u"המדפסת הפסיקה לקבל נתונים"},
        {ToolText::kReasonTransferTooLong, u"ההעברה נמשכה יותר ממגבלת הזמן שלה"},
        {ToolText::kReasonPayloadMissing, u"הנתונים שבתוך הכלי חסרים או פגומים"},
        {ToolText::kReasonNotBackAfterRestart, u"המדפסת לא חזרה לאחר ההפעלה מחדש"},
        {ToolText::kReasonNotIdentified, u"לאחר ההפעלה מחדש לא ניתן היה להבחין בין המדפסת לבין המדפסות האחרות"},
        {ToolText::kInfoCarried, u"הקושחה שבכלי: {1}"},
        {ToolText::kInfoSearchFailed, u"החיפוש אחר מדפסות נכשל (תוצאה {1}); המדפסות שלהלן הן אלה שנמצאו לפני הכישלון."},
        {ToolText::kInfoNoPrinter, u"לא נמצאה מדפסת נתמכת."},
        {ToolText::kInfoPrinter, u"מדפסת {1}: {2}"},
        {ToolText::kInfoPortLabel, u"יציאה"},
        {ToolText::kInfoSerialLabel, u"מספר סידורי"},
        {ToolText::kInfoDeviceLabel, u"התקן"},
        {ToolText::kInfoTransportLabel, u"דרך"},
        {ToolText::kInfoStatusLabel, u"מצב"},
        {ToolText::kInfoFirmwareLabel, u"קושחה"},
        {ToolText::kInfoTransportPrinterDriver, u"צומת ההתקן של מנהל המדפסת (usblp)"},
        {ToolText::kInfoTransportUsbDevice, u"צומת התקן ה-USB (libusb; אף מנהל התקן של הליבה אינו מחזיק במדפסת)"},
        {ToolText::kInfoNone, u"(אין)"},
        {ToolText::kInfoNoDevicePath, u"לא נשאלה: אין נתיב התקן (לממשק אין פרמטרים קריאים, או שאינו ממשק מדפסת רגיל)"},
        {ToolText::kInfoDoesNotOpen, u"לא נשאלה: קובץ ההתקן אינו נפתח: {1}"},
        {ToolText::kInfoOtherReason, u"המערכת ציינה סיבה אחרת"},
        {ToolText::kInfoNoStatusAnswer, u"אין תשובה לשאילתת המצב"},
        {ToolText::kInfoStatusReady, u"{1} (מוכנה לשדרוג)"},
        {ToolText::kInfoStatusNotReady, u"{1} (לא מוכנה: השדרוג ייעצר)"},
        {ToolText::kInfoNotAsked, u"לא נשאלה"},
        {ToolText::kInfoNoVersionAnswer, u"אין תשובה לשאילתת הגרסה (השדרוג ייעצר: לא מוכנה)"},
        {ToolText::kInfoOlder, u"{1}, ישנה מהקושחה שבכלי {2}: השדרוג יתקין אותה"},
        {ToolText::kInfoSame, u"{1}, זהה לקושחה שבכלי {2}: השדרוג ישאל לפני שיתקין אותה שוב"},
        {ToolText::kInfoNewer, u"{1}, חדשה מהקושחה שבכלי {2}: השדרוג ייעצר"},
        {ToolText::kInfoFirstOnly, u"ללא {1} השדרוג פועל על המדפסת הראשונה ברשימה; כדי לבחור מדפסת אחרת ציין {1} עם המספר הסידורי, היציאה או ההתקן שלה."},
        {ToolText::kInfoUnusable, u"מחוברת אך אינה שמישה: {1} במיקום {2}: {3}"},
        {ToolText::kUnusableNoInterface, u"ההתקן אינו מציג ממשק מדפסת"},
        {ToolText::kUnusableOtherDriver, u"מנהל התקן אחר ({1}) לקח את ממשק המדפסת שלו"},
        {ToolText::kUnusableNoDeviceNode, u"מנהל ההתקן של המדפסת לקח את הממשק אך לא יצר עבורו צומת התקן"},
        {ToolText::kUnusableOddDescriptors, u"{1}; הכלי אינו פותח אותה"},
        {ToolText::kDescriptorMalformed, u"מתארי ה-USB שלה קטועים או פגומים"},
        {ToolText::kDescriptorNoConfiguration, u"מתארי ה-USB שלה אינם מציגים תצורה פעילה"},
        {ToolText::kDescriptorNoPrinterInterface, u"מתארי ה-USB שלה אינם מציגים ממשק מדפסת"},
        {ToolText::kDescriptorSeveralInterfaces, u"היא מציגה כמה ממשקי USB ולא את ממשק המדפסת בלבד"},
        {ToolText::kDescriptorAlternateSettings, u"לממשק המדפסת שלה יש הגדרות חלופיות"},
        {ToolText::kDescriptorNotBidirectional, u"ממשק המדפסת שלה אינו דו-כיווני"},
        {ToolText::kDescriptorNoBulkOut, u"לממשק המדפסת שלה אין נקודת קצה bulk OUT"},
        {ToolText::kDescriptorNoBulkIn, u"לממשק המדפסת שלה אין נקודת קצה bulk IN"},
        {ToolText::kDescriptorOtherEndpoints, u"לממשק המדפסת שלה יש נקודות קצה מלבד bulk OUT אחת ו-bulk IN אחת"},
        {ToolText::kAnswerNoTerminal, u"אין מסוף שבו אפשר לשאול; עם {1} השדרוג מתבצע בכל זאת"},
        {ToolText::kAnswerNotGiven, u"לא נענתה"},
        {ToolText::kAnswerPlease, u"אנא ענה y ({1}) או n ({2})."},
        {ToolText::kInterrupted, u"הופסק"},
        {ToolText::kInterruptRefused, u"לא ניתן לעצור את השדרוג כעת: המדפסת תישאר משודרגת למחצה. אנא המתן עד שיסתיים."},
        {ToolText::kAnotherRunRunning, u"שדרוג אחר כבר פועל"},
        {ToolText::kPrinterNoneNamed, u"לאף מדפסת מחוברת אין את המספר הסידורי, היציאה או ההתקן \"{1}\" שצוין ב-{2}; \"{3}\" מציג את המדפסות שנמצאו"},
        {ToolText::kPrinterSeveralNamed, u"ל-{1} מדפסות מחוברות יש את המספר הסידורי, היציאה או ההתקן \"{2}\" שצוין ב-{3}; ציין אחת מהן לפי ההתקן שלה, כפי ש-\"{4}\" מציג אותו"},
        {ToolText::kPrinterNotTellable, u"למדפסת מחוברת אחרת יש אותו מספר סידורי כמו למדפסת \"{1}\" שצוינה ב-{2}, ולכן לא ניתן יהיה למצוא אותה שוב לאחר ההפעלה מחדש; נתק קודם את המדפסת האחרת"},
        {ToolText::kRunLogIs, u"היומן של הרצה זו: {1}"},
        {ToolText::kNoAdministratorRights, u"לא פועל כמנהל מערכת: ניתן לשלוח את הקושחה, אך לאחר מכן לא ניתן לסמן את המדפסת להתקנה מחדש של מנהל ההתקן. כדי לכלול שלב זה, הרץ את {1} כמנהל מערכת."},
        {ToolText::kNoRunLog, u"אין יומן הרצה בתיקייה {1}"},
        {ToolText::kNoStateFolder, u"(אין תיקיית מצב: המשתנה {1} אינו מוגדר)"},
        {ToolText::kCannotRead, u"לא ניתן לקרוא את {1}"},
        {ToolText::kTimeScaleIgnored, u"המשתנה {1} אינו בשימוש: גרסה זו נושאת את נתוני היצרן, ומדפסת אמיתית זקוקה להמתנות האמיתיות שלה."},
        {ToolText::kTimeScaleWrong, u"המשתנה {1} חייב להיות מספר גדול מ-0 ולכל היותר 1 (לדוגמה \u20660.01\u2069), ולא \"{2}\"."},
        {ToolText::kPayloadsStandIn, u"נתונים חלופיים של Tessel {1} (לאמולטור בלבד)"},
        {ToolText::kPayloadsMakers, u"נתוני היצרן של Tessel {1}"},
        {ToolText::kPayloadLoader, u"תוכנת הטעינה"},
        {ToolText::kPayloadFirmware, u"קושחה"},
        {ToolText::kPayloadLine, u"{1}: משאב {2}, {3} בתים"},
        {ToolText::kPayloadDamaged, u" (חסר או פגום)"},
        {ToolText::kUsageNoCommand, u"לא ניתנה פקודה"},
        {ToolText::kUsageNoArguments, u"הפקודה {1} אינה מקבלת ארגומנטים"},
        {ToolText::kUsageUnknownOption, u"{1}: אפשרות לא ידועה {2}"},
        {ToolText::kUsageExclusive, u"{1}: אין לציין את {2} ואת {3} יחד"},
        {ToolText::kUsageNeedsValue, u"{1}: {2} דורש ערך"},
        {ToolText::kUsageRepeated, u"{1}: אפשר לציין את {2} פעם אחת בלבד"},
        {ToolText::kUsageUnknownCommand, u"פקודה לא ידועה {1}"},
        {ToolText::kHelp, u"שימוש:\n"
         u"  tessel-cli upgrade [--yes|--no] [--json] [--no-confirm]\n"
         u"                     [--printer SERIAL|PORT]\n"
         u"  tessel-cli info [--json] [--printer SERIAL|PORT]\n"
         u"  tessel-cli log\n"
         u"  tessel-cli --version\n"
         u"  tessel-cli --help\n"
         u"\n"
         u"הפקודה upgrade משדרגת את הקושחה של המדפסת המחוברת. כאשר המדפסת כבר מריצה את הקושחה\n"
         u"שבכלי, \u2066--yes\u2069 משדרג אותה שוב ו-\u2066--no\u2069 עוצר; בלי אף אחד מהם השאלה נשאלת במסוף, ואם אין\n"
         u"מסוף התשובה היא \"לא\". \u2066--json\u2069 כותב את ההרצה כשורות JSON: כל שלב, צעד התקדמות, תצוגה,\n"
         u"שאלה ותשובתה, וקוד היציאה. לאחר תצוגת ההצלחה היא ממתינה (לכל היותר 4 דקות) שהמדפסת\n"
         u"תחזור וקוראת את הגרסה שלה; \u2066--no-confirm\u2069 מדלג על כך.\n"
         u"הפקודה info מציגה את המדפסות שנמצאו, את מצבן ואת גרסת הקושחה שלהן, וכן מדפסות\n"
         u"שמחוברות אך אינן שמישות. היא אינה שולחת קושחה.\n"
         u"האפשרות \u2066--printer\u2069 פועלת על המדפסת המחוברת היחידה שיש לה המספר הסידורי, היציאה או\n"
         u"קובץ ההתקן הזה (כפי ש-info מציגה אותם) במקום על הראשונה ברשימה; אם אין מדפסת כזו או\n"
         u"שיש כמה, דבר אינו נשלח (קוד יציאה 6 או 7).\n"
         u"הפקודה log מדפיסה את היומן של הרצת השדרוג האחרונה (היומנים של עשר ההרצות האחרונות\n"
         u"נשמרים בתיקיית המצב של הכלי).\n"
         u"האפשרות \u2066--version\u2069 מציגה את הקושחה שבכלי ובודקת את הנתונים המוטמעים.\n"
         u"\n"
         u"קודי היציאה של upgrade: 0 שודרגה, 1 נכשל, 2 המדפסת לא מוכנה, 3 הסתיים בהודעה (אין\n"
         u"מדפסת, היציאה תפוסה, קושחה חדשה יותר, סירוב); לאחר תצוגת ההצלחה, 4 כשהמדפסת מדווחת\n"
         u"על גרסה אחרת, 5 כשלא חזרה בזמן ההמתנה. של upgrade ושל info: 6 כשלאף מדפסת אין את השם\n"
         u"שב-\u2066--printer\u2069, 7 כשיש אותו לכמה; 64 שימוש שגוי.\n"},
    }},
}};
// clang-format on

}  // namespace tessel::ui
