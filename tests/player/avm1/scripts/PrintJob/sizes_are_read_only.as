// swf 7
// A PrintJob lists its page and paper sizes, all 0 without a printer, and keeps them when a
// script writes to them; its methods can be covered and uncovered again.
var job = new PrintJob();
for (var name in job) trace(name);
trace(job.pageWidth);
job.pageWidth = 5;
job.addPage = "covered";
trace(job.pageWidth);
trace(job.addPage);
delete job.addPage;
trace(typeof job.addPage);
trace(typeof job.send);
