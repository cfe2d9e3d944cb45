#!/usr/bin/perl
# upright.pl SCREENSHOT.ppm TOP_RIGHT BOTTOM_RIGHT: exits 0 when the screenshot shows a photo of
# red top left and the two named colours on the right, upright: red left of the top right and
# above the bottom right, the top right above the bottom right (centres of each colour's pixels,
# at least 2,000 of each, at least 40 pixels apart).
use strict;
use warnings;
my ($file, $top, $bottom) = @ARGV;
open(my $in, "<:raw", $file) or exit 1;
local $/;
my $ppm = <$in>;
$ppm =~ s/^P6\s+(\d+)\s+(\d+)\s+255\s//s or exit 1;
my $width = $1;
my %colours = (red => "1,0,0", lime => "0,1,0", yellow => "1,1,0", magenta => "1,0,1");
my %named = reverse %colours;
my (%n, %x, %y);
for (my $i = 0; $i < length($ppm) / 3; $i++) {
    my $key = join(",", map { $_ > 150 ? 1 : $_ < 80 ? 0 : -1 } unpack("C3", substr($ppm, 3 * $i, 3)));
    my $name = $named{$key} or next;
    $n{$name}++;
    $x{$name} += $i % $width;
    $y{$name} += int($i / $width);
}
for my $name ("red", $top, $bottom) {
    exit 1 if ($n{$name} // 0) < 2000;
    $x{$name} /= $n{$name};
    $y{$name} /= $n{$name};
}
exit !($x{$top} - $x{red} > 40 && $y{$bottom} - $y{red} > 40 && $y{$bottom} - $y{$top} > 40
    && $x{$bottom} - $x{red} > 40);
