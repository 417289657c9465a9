#!/usr/bin/perl
# Makes the guide's one self-contained HTML page from its Markdown:
#   guide_html.pl CMARK_GFM GUIDE.md OUT.html
# The Markdown is converted by cmark-gfm (tables on, the guide's own anchors kept); then every
# picture is put into the page as data: URIs, its drawing at the ordinary size NAME-1x.png for
# ordinary screens and NAME.png, drawn at twice the size, for high-resolution ones, and
# a small style sheet is added. A line broken between two Japanese characters, or before a
# number or after Japanese punctuation, is joined to the next, as a browser would otherwise show
# a blank there; before a Latin word the break stays a blank, as the guide writes elsewhere.
# A picture that is missing or has no drawing at the ordinary size, or a link "#id" to no anchor
# of the page, stops the build.
use strict;
use warnings;
use utf8;
use MIME::Base64 qw(encode_base64);
use File::Basename qw(dirname);

my ($cmark, $source, $out) = @ARGV;
die "usage: guide_html.pl CMARK_GFM GUIDE.md OUT.html\n" unless defined $out;
my $dir = dirname($source);

open(my $conv, '-|', $cmark, '--extension', 'table', '--unsafe', $source)
  or die "cannot run $cmark: $!\n";
binmode($conv, ':encoding(UTF-8)');
my $body = do { local $/; <$conv> };
close($conv) or die "$cmark failed on $source\n";

sub png_width {
  my ($bytes, $name) = @_;
  die "$name: not a PNG file\n" unless substr($bytes, 0, 8) eq "\x89PNG\r\n\x1a\n";
  return unpack('N', substr($bytes, 16, 4));
}

sub read_picture {
  my ($src) = @_;
  my $path = "$dir/$src";
  open(my $in, '<:raw', $path) or die "$source: picture $src: $!\n";
  my $bytes = do { local $/; <$in> };
  close($in);
  return (png_width($bytes, $path), 'data:image/png;base64,' . encode_base64($bytes, ''));
}

sub inline_picture {
  my ($before, $src, $after) = @_;
  (my $ordinary = $src) =~ s/\.png$/-1x.png/;
  my (undef, $double) = read_picture($src);
  my ($width, $single) = read_picture($ordinary);
  # A source chosen by the screen's resolution: a srcset of data: URIs would get the double
  # drawing in Chromium everywhere, which takes a candidate already at hand over a closer one.
  return qq{<picture><source media="(min-resolution: 1.5dppx)" srcset="$double">}
    . qq{<img${before}src="$single"${after} width="$width"></picture>};
}
$body =~ s{<img([^>]*?)src="([^":]+\.png)"([^>]*?)\s*/?>}{inline_picture($1, $2, $3)}ge;

# Outside preformatted blocks, a line break goes after Japanese punctuation, and after any other
# Japanese character before another one or a number; before a Latin word it shows as a blank.
my $punctuation = qr/[\x{3000}-\x{303F}\x{FF01}-\x{FF0F}\x{FF1A}-\x{FF20}\x{FF3B}-\x{FF40}\x{FF5B}-\x{FF65}]/;
my @parts = split(m{(<pre\b.*?</pre>)}s, $body);
for my $part (@parts) {
  next if $part =~ /^<pre\b/;
  $part =~ s/($punctuation)\n(?=\S)/$1/g;
  $part =~ s/([^\x00-\x7F])\n(?=[^\x00-\x7F]|[0-9])/$1/g;
}
$body = join('', @parts);

# A short cell (a number, "1 または 5") stays on one line, so that its column is never squeezed
# narrower than it.
$body =~ s{<td>([^<\n]{1,10})</td>}{<td class="short">$1</td>}g;

my %ids = map { $_ => 1 } ($body =~ /\bid="([^"]+)"/g);
for my $target ($body =~ /href="#([^"]+)"/g) {
  die "$source: the link #$target has no anchor\n" unless $ids{$target};
}

my ($title) = $body =~ m{<h1>(.*?)</h1>}s;
$title = 'Tallyx' unless defined $title;
$title =~ s/<[^>]*>//g;

my $style = <<'CSS';
body { font-family: "IPAPGothic", "Yu Gothic UI", "Meiryo", "MS PGothic", sans-serif;
       line-height: 1.7; max-width: 56em; margin: 0 auto; padding: 1em 1.5em 4em; color: #222; }
h1, h2, h3 { line-height: 1.3; }
h2 { border-bottom: 1px solid #ccc; padding-bottom: .2em; margin-top: 2em; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #bbb; padding: .3em .6em; vertical-align: top; }
th { background: #f0f0f0; white-space: nowrap; }
td.short { white-space: nowrap; }
code, pre { font-family: "Consolas", "MS Gothic", "IPAGothic", monospace; background: #f5f5f5; }
code { padding: 0 .2em; overflow-wrap: anywhere; }
pre { padding: .6em .8em; white-space: pre-wrap; overflow-wrap: anywhere; }
@media print { pre, tr, img { break-inside: avoid; } }
img { max-width: 100%; height: auto; border: 1px solid #ddd; }
CSS

open(my $html, '>:encoding(UTF-8)', $out) or die "$out: $!\n";
print $html <<"HTML";
<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>$title</title>
<style>
$style</style>
</head>
<body>
$body</body>
</html>
HTML
close($html) or die "$out: $!\n";
